// Placing the program's dialogs on the screen.
#pragma once

#include <windows.h>

namespace rovant::ui {

// Centres `window` on the screen without resizing or activating it.
inline void CentreOnScreen(HWND window) {
  RECT rect{};
  if (::GetWindowRect(window, &rect) == FALSE) return;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace rovant::ui
