// Tree view controls of another process (the help window's table of contents). TVM_GETITEMW
// carries a pointer: the item and its text buffer are placed in the owner's memory
// (VirtualAllocEx) and read back, as for list views. Every message is sent
// with a time-out.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rovant::uidriver {

// The number of items in the tree (all levels); -1 when the control does not answer.
int TreeViewCount(HWND treeView);
// The texts of the top-level items, in order (at most `limit` of them; each at most 1023
// characters, "" when it cannot be read).
std::vector<std::wstring> TreeViewRootTexts(HWND treeView, std::size_t limit = 256);

}  // namespace rovant::uidriver
