#include "ui/win32/panel_dialog.hpp"

#include <commctrl.h>

#include <array>

#include "protocol/show_message.hpp"
#include "resources/resource_ids.h"

namespace rovant::ui {

PanelDialog::~PanelDialog() {
  // The panel normally goes with the MainWindow; a panel left behind goes with its object.
  if (window() != nullptr && IsWindow(window())) DestroyWindow(window());
}

HWND PanelDialog::Create(HINSTANCE instance, HWND mainWindow) {
  mainWindow_ = mainWindow;
  return CreateModelessDialog(instance, IDD_PANEL, mainWindow);
}

HWND PanelDialog::button(int id) const {
  switch (id) {
    case IDC_READ:
      return read_;
    case IDC_TRANSFER:
      return transfer_;
    case IDC_INITIALIZE:
      return initialize_;
    case IDC_FINISH:
      return finish_;
    default:
      return nullptr;
  }
}

win32::WindowBase::Answer PanelDialog::OnInit(WPARAM, LPARAM) {
  Initialise();
  return FALSE;  // the focus has been set
}

void PanelDialog::OnDetach() { tabs_ = read_ = transfer_ = initialize_ = finish_ = nullptr; }

void PanelDialog::Initialise() {
  tabs_ = GetDlgItem(window(), IDC_TABS);
  read_ = GetDlgItem(window(), IDC_READ);
  transfer_ = GetDlgItem(window(), IDC_TRANSFER);
  initialize_ = GetDlgItem(window(), IDC_INITIALIZE);
  finish_ = GetDlgItem(window(), IDC_FINISH);
  pages_.SetPanel(window());
  pages_.SetMainWindow(mainWindow_);

  for (const PageLayout& page : kPages) {
    std::array<char, 16> text{};
    page.tabText.copy(text.data(), text.size() - 1);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(tabs_, TCM_INSERTITEMA, page.index, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(tabs_, TCM_SETCURSEL, pages_.context().currentPage, 0);

  HWND page = pages_.CreatePage(pages_.context().currentPage, window());
  if (page == nullptr) {
    TellResourceInsufficient();
    return;
  }
  pages_.AttachTooltips();
  RECT item{};
  SendMessageA(tabs_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  pageTop_ = item.bottom + 2;
  PlaceAndShow(page);
  SendMessageA(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(read_), TRUE);
}

void PanelDialog::PlaceAndShow(HWND page) const {
  SetWindowPos(page, HWND_TOP, kPageLeft, pageTop_, 0, 0, SWP_NOSIZE);
  ShowWindow(page, SW_SHOW);
}

void PanelDialog::TellResourceInsufficient() const {
  ShowPlainMessage(boxes_, kNoWindow, kResourceInsufficient, kResourceInsufficientStyle);
}

void PanelDialog::OnTabChanged() {
  const LRESULT selected = SendMessageA(tabs_, TCM_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= kPageCount) return;
  HWND page = pages_.SwitchTo(static_cast<PageIndex>(selected), window());
  if (page == nullptr) {
    TellResourceInsufficient();
    return;
  }
  PlaceAndShow(page);
  if (GetFocus() != tabs_) {
    if (HWND first = pages_.FirstControl()) {
      SendMessageA(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
  }
}

win32::WindowBase::Answer PanelDialog::OnNotify(const NMHDR* header) {
  if (header != nullptr && header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
    OnTabChanged();
    return TRUE;
  }
  return FALSE;
}

win32::WindowBase::Answer PanelDialog::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const bool clicked = HIWORD(wParam) == BN_CLICKED;
  if (clicked &&
      (id == IDC_READ || id == IDC_TRANSFER || id == IDC_INITIALIZE || id == IDC_FINISH)) {
    buttons_.OnPanelButton(id, GetFocus());
    return TRUE;
  }
  return FALSE;
}

win32::WindowBase::Answer PanelDialog::OnMessage(UINT message, WPARAM, LPARAM lParam) {
  // A left button press anywhere over the panel brings the MainWindow forward; the
  // control under the mouse still sets its cursor (result 0).
  if (message == WM_SETCURSOR && HIWORD(lParam) == WM_LBUTTONDOWN) {
    SetForegroundWindow(mainWindow_);
    SetMessageResult(FALSE);
    return TRUE;
  }
  return FALSE;
}

}  // namespace rovant::ui
