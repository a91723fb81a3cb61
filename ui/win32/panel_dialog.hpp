// The PanelDialog (IDD_PANEL): the tab control with the five tabs, the current setting
// page below it, and the four buttons. A child of the MainWindow filling its client area.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/message_boxes.hpp"
#include "platform/win32/window_base.hpp"
#include "ui/win32/setting_pages.hpp"

namespace rovant::ui {

// Shown, with no owner, when a page window cannot be created.
inline constexpr std::string_view kResourceInsufficient =
    "Warning: Resource is insufficient. Finish other applications.";
// Plain box: stop icon, system-modal.
inline constexpr unsigned kResourceInsufficientStyle = MB_ICONSTOP | MB_SYSTEMMODAL;
// Every page sits this many pixels from the panel's left edge.
inline constexpr int kPageLeft = 13;

// Who runs the panel's buttons (the MainWindow).
class PanelButtons {
 public:
  virtual ~PanelButtons() = default;
  // A click on one of the four buttons; `focused` had the keyboard focus when it arrived.
  virtual void OnPanelButton(int id, HWND focused) = 0;
};

class PanelDialog final : public win32::WindowBase {
 public:
  PanelDialog(SettingPages& pages, MessageBoxes& boxes, PanelButtons& buttons)
      : pages_(pages), boxes_(boxes), buttons_(buttons) {}
  PanelDialog(const PanelDialog&) = delete;
  PanelDialog& operator=(const PanelDialog&) = delete;
  ~PanelDialog() override;

  // Creates the panel from its template as a child of `mainWindow`; null on failure. The
  // MENU1 page is created with it (check pages().PageWindow(kMenu1Page)).
  HWND Create(HINSTANCE instance, HWND mainWindow);

  [[nodiscard]] HWND tabs() const { return tabs_; }
  // The button IDC_READ, IDC_TRANSFER, IDC_INITIALIZE or IDC_FINISH, or null.
  [[nodiscard]] HWND button(int id) const;
  [[nodiscard]] int pageTop() const { return pageTop_; }
  [[nodiscard]] SettingPages& pages() const { return pages_; }

  // The tab control reported a new selection: store the outgoing page, show the new one.
  void OnTabChanged();

 private:
  Answer OnInit(WPARAM wParam, LPARAM lParam) override;
  Answer OnNotify(const NMHDR* header) override;
  Answer OnCommand(WPARAM wParam, LPARAM lParam) override;
  Answer OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDetach() override;
  void Initialise();
  void PlaceAndShow(HWND page) const;
  void TellResourceInsufficient() const;

  SettingPages& pages_;
  MessageBoxes& boxes_;
  PanelButtons& buttons_;
  HWND mainWindow_ = nullptr;
  HWND tabs_ = nullptr;
  HWND read_ = nullptr;
  HWND transfer_ = nullptr;
  HWND initialize_ = nullptr;
  HWND finish_ = nullptr;
  int pageTop_ = 0;
};

}  // namespace rovant::ui
