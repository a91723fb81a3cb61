#include "ui/win32/page_dialog.hpp"

#include "ui/page_rules.hpp"
#include "ui/win32/page_view_win32.hpp"
#include "ui/win32/setting_pages.hpp"

namespace rovant::ui {

static_assert(kPageRefreshMessage == WM_SETREDRAW);
static_assert(kSelChange == CBN_SELCHANGE && kCloseUp == CBN_CLOSEUP);

HWND PageDialog::Create(HINSTANCE instance, HWND parent) {
  return CreateModelessDialog(instance, PageAt(page_).templateId, parent);
}

win32::WindowBase::Answer PageDialog::OnInit(WPARAM, LPARAM) {
  host_.OnPageCreated(page_, window());
  PageContext& context = host_.context();
  Win32PageView view(window(), context.boxes);
  FillPageLists(page_, context.record(), view);
  LoadPageFromRecord(page_, context.record(), context.selectedModel(), view);
  return TRUE;
}

win32::WindowBase::Answer PageDialog::OnMessage(UINT message, WPARAM, LPARAM) {
  if (message != kPageRefreshMessage) return FALSE;
  // The page's own refresh: never passed on, so drawing is never switched off.
  PageContext& context = host_.context();
  Win32PageView view(window(), context.boxes);
  LoadPageFromRecord(page_, context.record(), context.selectedModel(), view);
  SetMessageResult(0);
  return TRUE;
}

win32::WindowBase::Answer PageDialog::OnCommand(WPARAM wParam, LPARAM) {
  const unsigned code = HIWORD(wParam);
  if (code != kSelChange && code != kCloseUp) return FALSE;
  PageContext& context = host_.context();
  Win32PageView view(window(), context.boxes);
  OnSelectionChange(page_, context.record(), context.selectedModel(), view);
  return TRUE;
}

win32::WindowBase::Answer PageDialog::OnDestroy() {
  host_.OnPageDestroyed(page_, window());
  return FALSE;
}

}  // namespace rovant::ui
