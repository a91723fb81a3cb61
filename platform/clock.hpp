// Time as the printer protocol uses it: fixed waits.
#pragma once

namespace rovant {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void SleepMs(unsigned milliseconds) = 0;
};

}  // namespace rovant
