#include "ui/win32/page_view_win32.hpp"

#include <string>

namespace rovant::ui {

void Win32PageView::ResetContent(ControlId combo) {
  SendDlgItemMessageA(page_, combo, CB_RESETCONTENT, 0, 0);
}

void Win32PageView::AddString(ControlId combo, std::string_view text) {
  const std::string terminated(text);
  SendDlgItemMessageA(page_, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void Win32PageView::SetSelection(ControlId combo, int position) {
  // A position outside the list leaves the combo without a selection.
  const LRESULT count = SendDlgItemMessageA(page_, combo, CB_GETCOUNT, 0, 0);
  const WPARAM index =
      position >= 0 && position < count ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1);
  SendDlgItemMessageA(page_, combo, CB_SETCURSEL, index, 0);
}

int Win32PageView::GetSelection(ControlId combo) const {
  const LRESULT selection = SendDlgItemMessageA(page_, combo, CB_GETCURSEL, 0, 0);
  return selection == CB_ERR ? kNoSelection : static_cast<int>(selection);
}

void Win32PageView::EnableRow(const PageRow& row, bool enabled) {
  if (HWND c = GetDlgItem(page_, row.comboId)) EnableWindow(c, enabled ? TRUE : FALSE);
  if (HWND l = GetDlgItem(page_, row.labelId)) EnableWindow(l, enabled ? TRUE : FALSE);
}

}  // namespace rovant::ui
