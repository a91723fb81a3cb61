// Time as the printer protocol uses it: fixed waits, and how much time has
// passed for the waits that are bounded.
#pragma once

#include <cstdint>

namespace rovant {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void SleepMs(unsigned milliseconds) = 0;
  // Milliseconds on a clock that only goes forward, from any starting point.
  virtual std::uint64_t NowMs() = 0;
};

}  // namespace rovant
