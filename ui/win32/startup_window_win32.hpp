// What the start-up loop asks of the main window, on Windows: the keyboard
// focus to the main window or to the panel's Reading button, and painting.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"
#include "ui/startup_selection.hpp"

namespace rovant::ui {

class Win32StartupWindow final : public StartupWindow {
 public:
  // `panel`: the panel dialog that holds the Reading button.
  Win32StartupWindow(HWND mainWindow, HWND panel) : mainWindow_(mainWindow), panel_(panel) {}

  void FocusMainWindow() override { ::SetFocus(mainWindow_); }
  void PaintMainWindow() override { ::UpdateWindow(mainWindow_); }
  // Through the panel, so that its default button follows the focus.
  void FocusReadButton() override {
    const HWND read = ::GetDlgItem(panel_, IDC_READ);
    if (read != nullptr) {
      ::SendMessageA(panel_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(read), TRUE);
    }
  }

 private:
  HWND mainWindow_;
  HWND panel_;
};

}  // namespace rovant::ui
