// List view controls of another process. LVM_GETITEMTEXT and LVM_SETITEMSTATE carry pointers,
// which mean nothing in another address space: the item and its text buffer are placed in the
// owner's memory (VirtualAllocEx), written and read back (WriteProcessMemory/ReadProcessMemory).
// Both processes must have the same bitness (64-bit here: wine64 only).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace rovant::uidriver {

int ListViewCount(HWND listView);
// The text of `row`'s column `column` (at most 1023 characters); nothing if it cannot be read.
std::optional<std::wstring> ListViewText(HWND listView, int row, int column = 0);
// The first column of every row.
std::vector<std::wstring> ListViewRows(HWND listView);
// The first selected row, or -1.
int ListViewSelection(HWND listView);
// Selects and focuses `row` (the others are deselected), so the owner is notified
// (LVN_ITEMCHANGED) as for a click; false if it fails.
bool SelectListViewRow(HWND listView, int row);
// The row whose first column is `text`, or -1.
int FindListViewRow(HWND listView, const std::wstring& text);

}  // namespace rovant::uidriver
