// The panel's tab control in rovant.exe, from another process (TCM_* messages carry no pointers
// here, so they are sent as they are, each with a time-out).
#pragma once

#include <windows.h>

namespace rovant::e2e {

// The selected tab's index; -1 when the control does not answer.
int SelectedTab(HWND tabs);
// Moves the tab control's focus item to `index`, which selects that tab and tells the panel, as
// a click on the tab does; false when the control does not answer.
bool FocusTab(HWND tabs, int index);

}  // namespace rovant::e2e
