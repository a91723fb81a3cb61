// Time left until a deadline, and a time-out as the user reads it: what the
// links share when they bound their waits.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>

namespace rovant {

using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until `deadline` (0 once it has passed).
inline int RemainingMs(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

// "3 s", "0.25 s": a time-out in milliseconds as the user reads it.
inline std::string SecondsText(unsigned ms) {
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += '.' + fraction;
  }
  return text + " s";
}

}  // namespace rovant
