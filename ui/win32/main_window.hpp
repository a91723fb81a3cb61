// The MainWindow (class "rovant"): the program's only top-level window. Its client area is the
// PanelDialog; it owns the menu and accelerator commands, keeps the keyboard focus across
// commands, dialogs and minimising, asks before quitting, and ends the message loop when it
// is destroyed. What a command decides is in ui/commands.hpp; this file only routes messages.
#pragma once

#include <windows.h>

#include "platform/clock.hpp"
#include "platform/message_boxes.hpp"
#include "platform/win32/unique_handle.hpp"
#include "platform/win32/window_base.hpp"
#include "ui/commands.hpp"
#include "ui/win32/keyboard_hook.hpp"
#include "ui/win32/panel_dialog.hpp"
#include "ui/win32/setting_pages.hpp"

namespace rovant::ui {

inline constexpr const char* kMainClassName = "rovant";
inline constexpr const char* kMainWindowTitle = "ROVANT";
inline constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Restores the focus once after the window has been restored.
inline constexpr UINT_PTR kRestoreFocusTimer = 2;
inline constexpr UINT kRestoreFocusDelayMs = 10;
// The wait at each change of the keyboard focus.
inline constexpr unsigned kFocusChangeWaitMs = 100;

// RegisterMainClass: the class "rovant" with the printer icon, the arrow, the white brush and
// the main menu.
ATOM RegisterMainClass(HINSTANCE instance);

// What the window code works with; all of it outlives the MainWindow object.
struct MainWindowParts {
  HINSTANCE instance;        // the templates, menu, icons and accelerators
  SettingPages& pages;       // the setting pages (CurrentPage, ValidFocusTarget, tooltips)
  MessageBoxes& boxes;       // the panel's resource message
  Clock& clock;              // the waits at focus changes
  CommandContext& commands;  // mainWindow and panel are filled in when the window is created
};

class MainWindow final : public PanelButtons, public win32::WindowBase {
 public:
  explicit MainWindow(const MainWindowParts& parts)
      : parts_(parts), panel_(parts.pages, parts.boxes, *this), hook_(panel_) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // InitInstance's window part: creates the MainWindow (with the panel and the MENU1 page),
  // sizes and centres it, shows and paints it, trims the system menu and loads the
  // accelerators. False when the window, the panel or the MENU1 page does not exist.
  // The class must be registered.
  bool Create(int showCommand);

  // The message loop's handling before translation: the accelerators for the MainWindow, then
  // the dialog handling of each existing page, the tab control and the panel. True when taken.
  bool PreTranslate(MSG& message);
  // Runs the loop until the quit message; its code (0 when retrieving a message fails).
  int RunMessageLoop();

  [[nodiscard]] PanelDialog& panel() { return panel_; }
  [[nodiscard]] KeyboardHook& hook() { return hook_; }
  [[nodiscard]] HACCEL accelerators() const { return accelerators_.get(); }
  [[nodiscard]] HWND savedFocus() const { return savedFocus_; }

  // A menu or accelerator command (IDM_...).
  void OnMenuCommand(int id);
  // PanelButtons: the button form of the commands.
  void OnPanelButton(int id, HWND focused) override;

 private:
  Answer OnInit(WPARAM wParam, LPARAM lParam) override;
  Answer OnCommand(WPARAM wParam, LPARAM lParam) override;
  Answer OnTimer(UINT_PTR id) override;
  Answer OnDestroy() override;
  Answer OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDetach() override;
  void OnCreate();
  void OnClose();
  void EndRun();
  // Takes the control that has the focus as SavedFocus, if it is one of ours.
  void SaveFocus(HWND focused);
  void FocusControl(HWND control) const;
  void RestoreFocus(const FocusDecision& decision, HWND control);
  [[nodiscard]] bool IsOurs(HWND control) const;

  MainWindowParts parts_;
  PanelDialog panel_;
  KeyboardHook hook_;
  win32::UniqueAccelerators accelerators_;
  win32::WindowTimer restoreTimer_;
  HWND savedFocus_ = nullptr;
};

}  // namespace rovant::ui
