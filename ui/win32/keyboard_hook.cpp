#include "ui/win32/keyboard_hook.hpp"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "ui/win32/panel_dialog.hpp"

namespace rovant::ui {
namespace {

// The hook procedure reaches the installed hook through this one pointer.
KeyboardHook* g_installedHook = nullptr;

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void KeyboardHook::Install() {
  if (installed()) return;
  hook_.reset(
      SetWindowsHookExA(WH_KEYBOARD, &KeyboardHook::Procedure, nullptr, GetCurrentThreadId()));
  if (installed()) g_installedHook = this;
}

void KeyboardHook::Remove() {
  hook_.reset();
  if (g_installedHook == this) g_installedHook = nullptr;
}

void KeyboardHook::Reinstall() {
  if (!installed()) return;  // not yet installed by the start, or removed for the end
  Remove();
  Install();
}

LRESULT CALLBACK KeyboardHook::Procedure(int code, WPARAM key, LPARAM flags) {
  KeyboardHook* hook = g_installedHook;
  if (hook == nullptr) return CallNextHookEx(nullptr, code, key, flags);
  return hook->HandleKey(code, key, flags, KeyDown(VK_CONTROL), KeyDown(VK_SHIFT));
}

FocusRole KeyboardHook::RoleOf(HWND focus) const {
  if (focus == nullptr) return FocusRole::kOther;
  if (focus == panel_.tabs()) return FocusRole::kTabControl;
  if (focus == panel_.pages().FirstControl()) return FocusRole::kFirstControl;
  if (focus == panel_.pages().LastControl()) return FocusRole::kLastControl;
  if (focus == panel_.button(IDC_READ)) return FocusRole::kReadButton;
  return FocusRole::kOther;
}

LRESULT KeyboardHook::HandleKey(int code, WPARAM key, LPARAM flags, bool ctrl, bool shift) {
  TabKeyEvent event;
  event.code = code;
  event.isTab = key == VK_TAB;
  event.released = (static_cast<unsigned long long>(flags) & 0x80000000ULL) != 0;
  event.ctrl = ctrl;
  event.shift = shift;
  const TabKeyAction action =
      DecideTabKey(event, code < 0 || !event.isTab ? FocusRole::kOther : RoleOf(GetFocus()),
                   panel_.pages().context().currentPage);
  switch (action.verdict) {
    case HookVerdict::kCallNext:
      return CallNextHookEx(hook_.get(), code, key, flags);
    case HookVerdict::kLetThrough:
      return 0;
    case HookVerdict::kConsume:
      Apply(action);
      return 1;
  }
  return 0;
}

void KeyboardHook::Apply(const TabKeyAction& action) {
  if (action.switchTab) {
    // Setting the focus item makes the tab control report the change; the panel then shows
    // the new page.
    SendMessageA(panel_.tabs(), TCM_SETCURFOCUS, action.newTab, 0);
    MoveFocus(panel_.tabs());
  }
  switch (action.focus) {
    case TabFocusTarget::kNone:
      break;
    case TabFocusTarget::kTabControl:
      MoveFocus(panel_.tabs());
      break;
    case TabFocusTarget::kFirstControl:
      MoveFocus(panel_.pages().FirstControl());
      break;
    case TabFocusTarget::kLastControl:
      MoveFocus(panel_.pages().LastControl());
      break;
    case TabFocusTarget::kReadButton:
      MoveFocus(panel_.button(IDC_READ));
      break;
    case TabFocusTarget::kFinishButton:
      MoveFocus(panel_.button(IDC_FINISH));
      break;
  }
}

// Through the panel's next-control request, so that its default button follows the focus.
void KeyboardHook::MoveFocus(HWND control) const {
  if (control == nullptr || panel_.window() == nullptr) return;
  SendMessageA(panel_.window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

}  // namespace rovant::ui
