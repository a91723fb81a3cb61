// Message boxes of another process: found by their dialog class and text control, read
// (caption, text, buttons, icon) and answered.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testbed/uidriver/icon_kind.hpp"

namespace rovant::uidriver {

// The control ids of Wine's message box dialog (user32's MSGBOX template).
inline constexpr int kMessageBoxTextId = 0xFFFF;
inline constexpr int kMessageBoxIconId = 0x0440;

struct MessageBoxContent {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::vector<int> buttons;  // the visible ones, IDOK (1) .. IDNO (7), in id order
  IconKind icon = IconKind::kUnknown;
};

// Whether `window` is a message box: a dialog (#32770) with the box's text control.
bool IsMessageBox(HWND window);
// The visible message boxes of `processId` (0: any), topmost first.
std::vector<HWND> FindMessageBoxes(DWORD processId);
// The first message box of `processId` within `timeoutMs`, or null.
HWND WaitMessageBox(DWORD processId, DWORD timeoutMs);
MessageBoxContent ReadMessageBox(HWND box, const IconCandidates& icons);

// The name of a button id ("OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"), or its
// number; and the id named so (0 if none).
std::string ButtonName(int id);
int ButtonNamed(const std::string& name);

}  // namespace rovant::uidriver
