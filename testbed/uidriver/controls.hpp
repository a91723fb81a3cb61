// Controls of another process: buttons, combo boxes, edit text and window state. Actions are
// posted (not sent) where the program may answer with a modal loop, so that the driver never
// waits inside the program's dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace rovant::uidriver {

// Clicks `button` (BM_CLICK, posted); false if it is not an enabled, visible window.
bool ClickButton(HWND button);
// Posts WM_COMMAND (id, BN_CLICKED) to `dialog` as its button `id` would; false if `dialog` is
// not a window.
bool PressCommand(HWND dialog, int id);
// Asks `window` to close (WM_CLOSE, posted).
bool CloseWindow(HWND window);

// Combo boxes (CB_* messages, which Wine marshals between processes).
int ComboCount(HWND combo);
int ComboSelection(HWND combo);  // CB_ERR (-1) when none
std::optional<std::wstring> ComboItem(HWND combo, int index);
std::vector<std::wstring> ComboItems(HWND combo);
// The selected item's text; nothing when none is selected.
std::optional<std::wstring> ComboText(HWND combo);
// Selects the item with exactly this text and tells the owner (WM_COMMAND CBN_SELCHANGE), as a
// user's choice would; false if there is no such item.
bool SelectComboItem(HWND combo, const std::wstring& text);

// Sets a window's text (WM_SETTEXT; bounded time).
bool SetText(HWND window, const std::wstring& text);

bool IsEnabled(HWND window);
bool IsVisible(HWND window);
// The window with the keyboard focus in `window`'s thread (GetGUIThreadInfo), or null.
HWND FocusOf(HWND window);

}  // namespace rovant::uidriver
