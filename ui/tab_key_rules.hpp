// What the KeyboardHook does with a key: the Tab key's fixed cycle through the panel (tab
// control, the current page's controls, the Reading button, the other buttons, and back) and
// Ctrl+Tab / Ctrl+Shift+Tab between the pages. Portable: the hook reads the focus and the
// keyboard state and applies the decision.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/page_layout.hpp"

namespace rovant::ui {

// Which of the cycle's fixed points holds the keyboard focus.
enum class FocusRole : std::uint8_t {
  kOther,         // anything else (a page control in the middle, another button, nothing)
  kTabControl,    // the panel's tab control
  kFirstControl,  // the current page's first combo
  kLastControl,   // the current page's last combo that can be enabled
  kReadButton,    // the panel's Reading button
};

// The key event as the hook sees it.
struct TabKeyEvent {
  int code = 0;           // the hook code; negative: not to be looked at
  bool isTab = false;     // the key is Tab
  bool released = false;  // the transition bit: the key goes up
  bool ctrl = false;      // Ctrl held
  bool shift = false;     // Shift held
};

enum class HookVerdict : std::uint8_t {
  kCallNext,    // pass to the next hook and return its result
  kLetThrough,  // return 0: the dialog manager sees the key
  kConsume,     // return non-zero: the key is eaten
};

// Where the focus goes when the key is consumed.
enum class TabFocusTarget : std::uint8_t {
  kNone,
  kTabControl,
  kFirstControl,
  kLastControl,
  kReadButton,
  kFinishButton,
};

struct TabKeyAction {
  HookVerdict verdict = HookVerdict::kCallNext;
  // Ctrl+Tab: the tab to select (through the tab control's focus item), then the focus to the
  // tab control and on to the new page's first control.
  bool switchTab = false;
  PageIndex newTab = kMenu1Page;
  TabFocusTarget focus = TabFocusTarget::kNone;

  friend constexpr bool operator==(const TabKeyAction&, const TabKeyAction&) = default;
};

// The tab Ctrl+Tab (forward) or Ctrl+Shift+Tab (backward) selects, wrapping between 4 and 0.
constexpr PageIndex NeighbourTab(std::size_t current, bool backward) {
  const std::size_t n = kPageCount;
  const std::size_t c = current % n;
  return static_cast<PageIndex>(backward ? (c + n - 1) % n : (c + 1) % n);
}

// The hook's rules, in order.
TabKeyAction DecideTabKey(const TabKeyEvent& event, FocusRole focus, std::size_t currentTab);

}  // namespace rovant::ui
