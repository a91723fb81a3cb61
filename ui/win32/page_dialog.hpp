// The dialog procedures of the five setting pages (templates 163..167). One behaviour for
// all, driven by the page tables; the init parameter (lParam of CreateDialogParam) is the
// SettingPages object, kept in DWLP_USER.
//   WM_INITDIALOG: fill every combo with its list in force, LoadPageFromRecord; TRUE.
//   message 11 (WM_SETREDRAW's number, the PageRefreshMessage): LoadPageFromRecord; handled,
//     never passed to default processing.
//   WM_COMMAND with CBN_SELCHANGE (1) or CBN_CLOSEUP (8): the page's selection rules.
#pragma once

#include <windows.h>

#include "ui/page_layout.hpp"

namespace rovant::ui {

DLGPROC PageProcOf(PageIndex page);

}  // namespace rovant::ui
