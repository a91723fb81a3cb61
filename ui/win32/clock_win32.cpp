#include "ui/win32/clock_win32.hpp"

#include <windows.h>

#include <algorithm>

namespace rovant::ui {
namespace {

// A wait is cut into slices this long, with the paint messages handled between them.
constexpr unsigned kSliceMs = 10;
// A window that never validates itself would keep a paint message waiting for ever.
constexpr int kMaxPaintsPerRound = 64;

}  // namespace

void DispatchPendingPaint() {
  MSG message{};
  for (int i = 0; i < kMaxPaintsPerRound; ++i) {
    if (!::PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return;
    ::DispatchMessageA(&message);
  }
}

void Win32Clock::SleepMs(unsigned milliseconds) {
  const std::uint64_t end = NowMs() + milliseconds;
  DispatchPendingPaint();
  for (std::uint64_t now = NowMs(); now < end; now = NowMs()) {
    ::Sleep(static_cast<DWORD>(std::min<std::uint64_t>(end - now, kSliceMs)));
    DispatchPendingPaint();
  }
}

std::uint64_t Win32Clock::NowMs() { return ::GetTickCount64(); }

}  // namespace rovant::ui
