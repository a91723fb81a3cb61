// The mouse cursor on Windows: the standard wait and arrow cursors.
#pragma once

#include <windows.h>

#include "platform/cursor.hpp"

namespace rovant::ui {

class Win32Cursor final : public Cursor {
 public:
  void ShowWait() override { ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)); }
  void ShowArrow() override { ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW)); }
};

}  // namespace rovant::ui
