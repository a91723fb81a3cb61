#include "ui/win32/setting_pages.hpp"

#include <commctrl.h>

#include "ui/page_rules.hpp"
#include "ui/win32/page_view_win32.hpp"

namespace rovant::ui {

HWND SettingPages::CreatePage(PageIndex page, HWND parent) {
  if (page >= kPageCount) return nullptr;
  if (parent == nullptr) parent = panel_;
  return dialogs_[page].Create(instance_, parent);
}

void SettingPages::DestroyPagesExcept(HWND keep) {
  for (HWND& window : pages_) {
    if (window != nullptr && window != keep) {
      HWND w = window;
      window = nullptr;
      if (IsWindow(w)) DestroyWindow(w);
    }
  }
}

HWND SettingPages::SwitchTo(PageIndex page, HWND parent) {
  StorePageSelections();
  context_.currentPage = page;
  DestroyPagesExcept();
  HWND window = CreatePage(page, parent);
  if (window != nullptr) AttachTooltips();
  return window;
}

void SettingPages::StorePageSelections() {
  HWND window = CurrentPageWindow();
  if (window == nullptr) return;
  const Win32PageView view(window, context_.boxes);
  ui::StorePageSelections(context_.currentPage, view, context_.record());
}

void SettingPages::RefreshCurrentPage() {
  if (HWND window = CurrentPageWindow()) SendMessageA(window, kPageRefreshMessage, 0, 0);
}

HWND SettingPages::ValidFocusTarget(HWND control) const {
  HWND page = CurrentPageWindow();
  if (control == nullptr || page == nullptr || GetParent(control) != page) return control;
  const int id = GetDlgCtrlID(control);
  if (ui::ValidFocusTarget(context_.currentPage, context_.record(), id) != IDC_READ) return control;
  HWND read = panel_ != nullptr ? GetDlgItem(panel_, IDC_READ) : nullptr;
  return read != nullptr ? read : control;
}

void SettingPages::AttachTooltips() {
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)initialised;

  tooltip_.reset();  // the previous tooltip window, if any
  tooltip_.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 mainWindow_, nullptr, instance_, nullptr));
  HWND tip = tooltip_.get();
  if (tip == nullptr) return;
  SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  HWND page = CurrentPageWindow();
  const TooltipOrder order = TooltipToolsOf(PageAt(context_.currentPage));
  for (std::size_t i = 0; i < order.count; ++i) {
    const ControlId id = order.ids[i];
    HWND parent = i < kTooltipButtons.size() ? panel_ : page;
    HWND control = parent != nullptr ? GetDlgItem(parent, id) : nullptr;
    if (control == nullptr) continue;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by the classic (version 5) controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = mainWindow_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.hinst = instance_;
    tool.lpszText = MAKEINTRESOURCEA(id);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 400);
}

HWND SettingPages::FirstControl() const {
  HWND page = CurrentPageWindow();
  return page != nullptr ? GetDlgItem(page, PageAt(context_.currentPage).firstAnchor) : nullptr;
}

HWND SettingPages::LastControl() const {
  HWND page = CurrentPageWindow();
  return page != nullptr ? GetDlgItem(page, PageAt(context_.currentPage).lastAnchor) : nullptr;
}

}  // namespace rovant::ui
