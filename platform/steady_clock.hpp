// The clock of the machine: waits that really wait.
#pragma once

#include <chrono>
#include <thread>

#include "platform/clock.hpp"

namespace rovant {

class SteadyClock final : public Clock {
 public:
  void SleepMs(unsigned milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  std::uint64_t NowMs() override { return SteadyNowMs(); }

  static std::uint64_t SteadyNowMs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
};

}  // namespace rovant
