#include "ui/win32/panel_dialog.hpp"

#include <commctrl.h>

#include <array>

#include "protocol/show_message.hpp"
#include "resources/resource_ids.h"

namespace rovant::ui {

PanelDialog::~PanelDialog() {
  // The panel normally goes with the MainWindow; a panel left behind goes with its object.
  if (panel_ != nullptr && IsWindow(panel_)) DestroyWindow(panel_);
}

HWND PanelDialog::Create(HINSTANCE instance, HWND mainWindow) {
  mainWindow_ = mainWindow;
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PANEL), mainWindow,
                            &PanelDialog::Procedure, reinterpret_cast<LPARAM>(this));
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

INT_PTR CALLBACK PanelDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<PanelDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->panel_ = dialog;
    self->Initialise();
    return FALSE;  // the focus has been set
  }
  auto* self = reinterpret_cast<PanelDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    self->panel_ = nullptr;
    self->tabs_ = self->read_ = self->transfer_ = self->initialize_ = self->finish_ = nullptr;
    return FALSE;
  }
  return self->Handle(message, wParam, lParam);
}

void PanelDialog::Initialise() {
  tabs_ = GetDlgItem(panel_, IDC_TABS);
  read_ = GetDlgItem(panel_, IDC_READ);
  transfer_ = GetDlgItem(panel_, IDC_TRANSFER);
  initialize_ = GetDlgItem(panel_, IDC_INITIALIZE);
  finish_ = GetDlgItem(panel_, IDC_FINISH);
  pages_.SetPanel(panel_);
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

  HWND page = pages_.CreatePage(pages_.context().currentPage, panel_);
  if (page == nullptr) {
    TellResourceInsufficient();
    return;
  }
  pages_.AttachTooltips();
  RECT item{};
  SendMessageA(tabs_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  pageTop_ = item.bottom + 2;
  PlaceAndShow(page);
  SendMessageA(panel_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(read_), TRUE);
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
  HWND page = pages_.SwitchTo(static_cast<PageIndex>(selected), panel_);
  if (page == nullptr) {
    TellResourceInsufficient();
    return;
  }
  PlaceAndShow(page);
  if (GetFocus() != tabs_) {
    if (HWND first = pages_.FirstControl()) {
      SendMessageA(panel_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
  }
}

INT_PTR PanelDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        OnTabChanged();
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const bool clicked = HIWORD(wParam) == BN_CLICKED;
      if (clicked &&
          (id == IDC_READ || id == IDC_TRANSFER || id == IDC_INITIALIZE || id == IDC_FINISH)) {
        buttons_.OnPanelButton(id, GetFocus());
        return TRUE;
      }
      return FALSE;
    }
    case WM_SETCURSOR:
      // A left button press anywhere over the panel brings the MainWindow forward; the
      // control under the mouse still sets its cursor (result 0).
      if (HIWORD(lParam) == WM_LBUTTONDOWN) {
        SetForegroundWindow(mainWindow_);
        SetWindowLongPtrA(panel_, DWLP_MSGRESULT, FALSE);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace rovant::ui
