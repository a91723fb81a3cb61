// The dialog of one setting page (its template in kPages). One behaviour for all five,
// driven by the page tables; the SettingPages object owns one PageDialog per page, bound to
// the page's window while it exists.
//   WM_INITDIALOG: fill every combo with its list in force, LoadPageFromRecord; TRUE.
//   WM_SETREDRAW's number (the PageRefreshMessage): LoadPageFromRecord; handled, never
//     passed to default processing.
//   WM_COMMAND with CBN_SELCHANGE or CBN_CLOSEUP: the page's selection rules.
#pragma once

#include <windows.h>

#include "platform/win32/window_base.hpp"
#include "ui/page_layout.hpp"

namespace rovant::ui {

class SettingPages;

class PageDialog final : public win32::WindowBase {
 public:
  PageDialog(SettingPages& host, PageIndex page) : host_(host), page_(page) {}

  // Creates the page from its template as a child of `parent`, not shown; null on failure.
  HWND Create(HINSTANCE instance, HWND parent);

 private:
  Answer OnInit(WPARAM wParam, LPARAM lParam) override;
  Answer OnCommand(WPARAM wParam, LPARAM lParam) override;
  Answer OnDestroy() override;
  Answer OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  SettingPages& host_;
  PageIndex page_;
};

}  // namespace rovant::ui
