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
};

}  // namespace rovant
