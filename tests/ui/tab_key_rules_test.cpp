// The KeyboardHook's rules for the Tab key, one row per situation.
#include "ui/tab_key_rules.hpp"

#include <gtest/gtest.h>

namespace rovant::ui {
namespace {

constexpr TabKeyEvent Tab(bool ctrl = false, bool shift = false, bool released = false) {
  return TabKeyEvent{0, true, released, ctrl, shift};
}
constexpr TabKeyAction Consume(TabFocusTarget target) {
  return TabKeyAction{HookVerdict::kConsume, false, kMenu1Page, target};
}
constexpr TabKeyAction Switch(PageIndex tab) {
  return TabKeyAction{HookVerdict::kConsume, true, tab, TabFocusTarget::kFirstControl};
}
constexpr TabKeyAction kLetThrough{HookVerdict::kLetThrough};
constexpr TabKeyAction kCallNext{HookVerdict::kCallNext};

struct Row {
  const char* name;
  TabKeyEvent event;
  FocusRole focus;
  std::size_t tab;
  TabKeyAction expected;
};

using enum FocusRole;
using T = TabFocusTarget;

const Row kRows[] = {
    // 1. Negative code or another key: the next hook decides.
    {"NegativeCode", TabKeyEvent{-1, true, false, true, false}, kTabControl, 0, kCallNext},
    {"OtherKey", TabKeyEvent{0, false, false, true, true}, kTabControl, 0, kCallNext},
    {"OtherKeyReleased", TabKeyEvent{0, false, true, false, false}, kOther, 0, kCallNext},
    // 2. Tab released: through, whatever is held.
    {"Released", Tab(true, false, true), kTabControl, 0, kLetThrough},
    {"ReleasedOnLast", Tab(false, false, true), kLastControl, 0, kLetThrough},
    // 3a. Ctrl: next or previous tab, wrapping.
    {"CtrlTabFromMenu1", Tab(true), kOther, 0, Switch(kMenu2Page)},
    {"CtrlTabFromAdjust", Tab(true), kReadButton, 3, Switch(kConfigPage)},
    {"CtrlTabWrapsFromConfig", Tab(true), kFirstControl, 4, Switch(kMenu1Page)},
    {"CtrlShiftTabWrapsFromMenu1", Tab(true, true), kTabControl, 0, Switch(kConfigPage)},
    {"CtrlShiftTabFromHardware", Tab(true, true), kLastControl, 2, Switch(kMenu2Page)},
    // 3b. Shift alone.
    {"ShiftTabOnTabsToFinish", Tab(false, true), kTabControl, 2, Consume(T::kFinishButton)},
    {"ShiftTabOnFirstToTabs", Tab(false, true), kFirstControl, 1, Consume(T::kTabControl)},
    {"ShiftTabOnReadToLast", Tab(false, true), kReadButton, 2, Consume(T::kLastControl)},
    {"ShiftTabOnLastPasses", Tab(false, true), kLastControl, 0, kLetThrough},
    {"ShiftTabElsewherePasses", Tab(false, true), kOther, 0, kLetThrough},
    // 3c. Tab alone.
    {"TabOnTabsToFirst", Tab(), kTabControl, 4, Consume(T::kFirstControl)},
    {"TabOnLastToRead", Tab(), kLastControl, 2, Consume(T::kReadButton)},
    {"TabOnFirstPasses", Tab(), kFirstControl, 0, kLetThrough},
    {"TabOnReadPasses", Tab(), kReadButton, 0, kLetThrough},
    {"TabElsewherePasses", Tab(), kOther, 3, kLetThrough}};

TEST(TabKeyRules, Decide) {
  for (const Row& row : kRows)
    EXPECT_EQ(DecideTabKey(row.event, row.focus, row.tab), row.expected) << row.name;
}

}  // namespace
}  // namespace rovant::ui
