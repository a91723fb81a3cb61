#include "ui/win32/page_dialog.hpp"

#include "ui/page_rules.hpp"
#include "ui/win32/setting_pages.hpp"
#include "ui/win32/win32_page_view.hpp"

namespace rovant::ui {
namespace {

static_assert(kPageRefreshMessage == WM_SETREDRAW);
static_assert(kSelChange == CBN_SELCHANGE && kCloseUp == CBN_CLOSEUP);

SettingPages* HostOf(HWND page) {
  return reinterpret_cast<SettingPages*>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR PageProc(PageIndex page, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* host = reinterpret_cast<SettingPages*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    if (host == nullptr) return TRUE;
    host->OnPageCreated(page, window);
    PageContext& context = host->context();
    Win32PageView view(window, context.boxes);
    FillPageLists(page, context.record(), view);
    LoadPageFromRecord(page, context.record(), context.selectedModel(), view);
    return TRUE;
  }
  SettingPages* host = HostOf(window);
  switch (message) {
    case kPageRefreshMessage: {
      // The page's own refresh: never passed on, so drawing is never switched off.
      if (host != nullptr) {
        PageContext& context = host->context();
        Win32PageView view(window, context.boxes);
        LoadPageFromRecord(page, context.record(), context.selectedModel(), view);
      }
      SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_COMMAND: {
      const unsigned code = HIWORD(wParam);
      if (code != kSelChange && code != kCloseUp) return FALSE;
      if (host != nullptr) {
        PageContext& context = host->context();
        Win32PageView view(window, context.boxes);
        OnSelectionChange(page, context.record(), context.selectedModel(), view);
      }
      return TRUE;
    }
    case WM_DESTROY:
      if (host != nullptr) host->OnPageDestroyed(page, window);
      return FALSE;
    default:
      return FALSE;
  }
}

template <PageIndex P>
INT_PTR CALLBACK PageProcFor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PageProc(P, window, message, wParam, lParam);
}

}  // namespace

DLGPROC PageProcOf(PageIndex page) {
  switch (page) {
    case kMenu1Page:
      return &PageProcFor<kMenu1Page>;
    case kMenu2Page:
      return &PageProcFor<kMenu2Page>;
    case kHardwarePage:
      return &PageProcFor<kHardwarePage>;
    case kAdjustPage:
      return &PageProcFor<kAdjustPage>;
    case kConfigPage:
      return &PageProcFor<kConfigPage>;
  }
  return nullptr;
}

}  // namespace rovant::ui
