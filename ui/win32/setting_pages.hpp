// The setting pages on Windows: creates the page of a tab from its template,
// and offers StorePageSelections, RefreshCurrentPage, ValidFocusTarget and AttachTooltips.
// One object for the whole run, owned by the shell, with the dialog object of each page.
#pragma once

#include <windows.h>

#include <array>

#include "platform/message_boxes.hpp"
#include "platform/page_store.hpp"
#include "platform/win32/unique_handle.hpp"
#include "ui/page_context.hpp"
#include "ui/page_layout.hpp"
#include "ui/win32/page_dialog.hpp"

namespace rovant::ui {

class SettingPages final : public PageStore {
 public:
  // `instance`: the module holding the page templates and the tooltip strings.
  SettingPages(PageContext& context, HINSTANCE instance)
      : context_(context),
        instance_(instance),
        dialogs_{{{*this, kMenu1Page},
                  {*this, kMenu2Page},
                  {*this, kHardwarePage},
                  {*this, kAdjustPage},
                  {*this, kConfigPage}}} {}
  SettingPages(const SettingPages&) = delete;
  SettingPages& operator=(const SettingPages&) = delete;
  ~SettingPages() override = default;

  // The MainWindow (tooltip owner) and the PanelDialog (buttons, parent of the pages).
  void SetMainWindow(HWND main) { mainWindow_ = main; }
  void SetPanel(HWND panel) { panel_ = panel; }

  // Creates the page from its template as a child of `parent` (the panel when
  // null), not shown; null when it cannot be created. Does not change CurrentPage.
  HWND CreatePage(PageIndex page, HWND parent = nullptr);
  // Destroys every existing page window except `keep`.
  void DestroyPagesExcept(HWND keep = nullptr);
  // Tab change, steps 1 to 4 of a tab change except placing and showing: store the outgoing page,
  // set CurrentPage, destroy the other pages, create the new one, AttachTooltips.
  HWND SwitchTo(PageIndex page, HWND parent = nullptr);

  // PageStore: page to record and record to page, for the current page.
  void StorePageSelections() override;
  void RefreshCurrentPage() override;

  // The control itself, or the panel's Reading button when the control is a row of the
  // current page that the record disables (page_rules.hpp).
  [[nodiscard]] HWND ValidFocusTarget(HWND control) const;

  // Rebuilds the tooltip window: the panel's Reading, Initializing, Transferring and Finish
  // buttons, then the current
  // page's labels; text = string resource whose id is the control id.
  void AttachTooltips();

  [[nodiscard]] PageContext& context() const { return context_; }
  [[nodiscard]] MessageBoxes& boxes() const { return context_.boxes; }
  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  [[nodiscard]] HWND PageWindow(PageIndex page) const { return pages_[page]; }
  [[nodiscard]] HWND CurrentPageWindow() const { return pages_[context_.currentPage]; }
  [[nodiscard]] HWND TooltipWindow() const { return tooltip_.get(); }
  // The KeyboardHook's anchors of the current page: first and last combo (null without page).
  [[nodiscard]] HWND FirstControl() const;
  [[nodiscard]] HWND LastControl() const;

  // Called by the page dialogs.
  void OnPageCreated(PageIndex page, HWND window) { pages_[page] = window; }
  void OnPageDestroyed(PageIndex page, HWND window) {
    if (pages_[page] == window) pages_[page] = nullptr;
  }

 private:
  PageContext& context_;
  HINSTANCE instance_;
  HWND mainWindow_ = nullptr;
  HWND panel_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  std::array<PageDialog, kPageCount> dialogs_;
  win32::OwnedWindow tooltip_;
};

}  // namespace rovant::ui
