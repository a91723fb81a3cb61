#include "ui/tab_key_rules.hpp"

namespace rovant::ui {
namespace {

constexpr TabKeyAction Consume(TabFocusTarget target) {
  return TabKeyAction{HookVerdict::kConsume, false, kMenu1Page, target};
}
constexpr TabKeyAction LetThrough() { return TabKeyAction{HookVerdict::kLetThrough}; }

}  // namespace

TabKeyAction DecideTabKey(const TabKeyEvent& event, FocusRole focus, std::size_t currentTab) {
  if (event.code < 0 || !event.isTab) return TabKeyAction{HookVerdict::kCallNext};
  if (event.released) return LetThrough();

  if (event.ctrl) {
    TabKeyAction action = Consume(TabFocusTarget::kFirstControl);
    action.switchTab = true;
    action.newTab = NeighbourTab(currentTab, event.shift);
    return action;
  }
  if (event.shift) {
    switch (focus) {
      case FocusRole::kTabControl:
        return Consume(TabFocusTarget::kFinishButton);
      case FocusRole::kFirstControl:
        return Consume(TabFocusTarget::kTabControl);
      case FocusRole::kReadButton:
        return Consume(TabFocusTarget::kLastControl);
      default:
        return LetThrough();
    }
  }
  switch (focus) {
    case FocusRole::kTabControl:
      return Consume(TabFocusTarget::kFirstControl);
    case FocusRole::kLastControl:
      return Consume(TabFocusTarget::kReadButton);
    default:
      return LetThrough();
  }
}

}  // namespace rovant::ui
