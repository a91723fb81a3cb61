// The clock on Windows: a wait keeps the windows painted but handles no input.
#pragma once

#include <cstdint>

#include "platform/clock.hpp"

namespace rovant::ui {

class Win32Clock final : public Clock {
 public:
  // Waits in short slices; between them only paint messages are dispatched,
  // so the status window stays drawn and no key or click is acted on.
  void SleepMs(unsigned milliseconds) override;
  // Milliseconds since the system started.
  std::uint64_t NowMs() override;
};

// Dispatches the paint messages waiting in this thread's queue; the others stay.
void DispatchPendingPaint();

}  // namespace rovant::ui
