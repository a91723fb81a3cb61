// The KeyboardHook: a WH_KEYBOARD hook on the program's own user-interface thread (a hook
// without a thread restriction would need a DLL of its own) that gives the Tab key its fixed
// cycle through the panel and makes Ctrl+Tab / Ctrl+Shift+Tab change the page. The rules are
// in ui/tab_key_rules.hpp; this file only reads the focus and the keys and applies them.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.hpp"
#include "ui/tab_key_rules.hpp"

namespace rovant::ui {

class PanelDialog;

class KeyboardHook {
 public:
  explicit KeyboardHook(PanelDialog& panel) : panel_(panel) {}
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;
  ~KeyboardHook() { Remove(); }

  // InstallKeyboardHook: installs the hook unless it is installed.
  void Install();
  // RemoveKeyboardHook: removes it if installed.
  void Remove();
  // Removes and installs it again, so that it is the most recent hook of the thread; nothing
  // while it is not installed (before the start has installed it, after the end removed it).
  void Reinstall();
  [[nodiscard]] bool installed() const { return hook_.get() != nullptr; }

  // One keyboard event with the modifier keys as given: the hook's result.
  LRESULT HandleKey(int code, WPARAM key, LPARAM flags, bool ctrl, bool shift);
  // Which fixed point of the cycle `focus` is.
  [[nodiscard]] FocusRole RoleOf(HWND focus) const;

  // The hook procedure: reads Ctrl and Shift from the thread's keyboard state.
  static LRESULT CALLBACK Procedure(int code, WPARAM key, LPARAM flags);

 private:
  void Apply(const TabKeyAction& action);
  void MoveFocus(HWND control) const;

  PanelDialog& panel_;
  win32::UniqueHook hook_;
};

}  // namespace rovant::ui
