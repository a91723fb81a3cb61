// The KeyboardHook's rules for the Tab key, one row per situation.
#include "ui/tab_key_rules.hpp"

#include <gtest/gtest.h>

#include <string>

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
  std::string name;
  TabKeyEvent event;
  FocusRole focus;
  std::size_t tab;
  TabKeyAction expected;
};

class TabKeyRules : public ::testing::TestWithParam<Row> {};

TEST_P(TabKeyRules, Decide) {
  const Row& row = GetParam();
  EXPECT_EQ(DecideTabKey(row.event, row.focus, row.tab), row.expected);
}

using enum FocusRole;
using T = TabFocusTarget;

INSTANTIATE_TEST_SUITE_P(
    Rows, TabKeyRules,
    ::testing::Values(
        // 1. Negative code or another key: the next hook decides.
        Row{"NegativeCode", TabKeyEvent{-1, true, false, true, false}, kTabControl, 0, kCallNext},
        Row{"OtherKey", TabKeyEvent{0, false, false, true, true}, kTabControl, 0, kCallNext},
        Row{"OtherKeyReleased", TabKeyEvent{0, false, true, false, false}, kOther, 0, kCallNext},
        // 2. Tab released: through, whatever is held.
        Row{"Released", Tab(true, false, true), kTabControl, 0, kLetThrough},
        Row{"ReleasedOnLast", Tab(false, false, true), kLastControl, 0, kLetThrough},
        // 3a. Ctrl: next or previous tab, wrapping.
        Row{"CtrlTabFromMenu1", Tab(true), kOther, 0, Switch(kMenu2Page)},
        Row{"CtrlTabFromAdjust", Tab(true), kReadButton, 3, Switch(kConfigPage)},
        Row{"CtrlTabWrapsFromConfig", Tab(true), kFirstControl, 4, Switch(kMenu1Page)},
        Row{"CtrlShiftTabWrapsFromMenu1", Tab(true, true), kTabControl, 0, Switch(kConfigPage)},
        Row{"CtrlShiftTabFromHardware", Tab(true, true), kLastControl, 2, Switch(kMenu2Page)},
        // 3b. Shift alone.
        Row{"ShiftTabOnTabsToFinish", Tab(false, true), kTabControl, 2, Consume(T::kFinishButton)},
        Row{"ShiftTabOnFirstToTabs", Tab(false, true), kFirstControl, 1, Consume(T::kTabControl)},
        Row{"ShiftTabOnReadToLast", Tab(false, true), kReadButton, 2, Consume(T::kLastControl)},
        Row{"ShiftTabOnLastPasses", Tab(false, true), kLastControl, 0, kLetThrough},
        Row{"ShiftTabElsewherePasses", Tab(false, true), kOther, 0, kLetThrough},
        // 3c. Tab alone.
        Row{"TabOnTabsToFirst", Tab(), kTabControl, 4, Consume(T::kFirstControl)},
        Row{"TabOnLastToRead", Tab(), kLastControl, 2, Consume(T::kReadButton)},
        Row{"TabOnFirstPasses", Tab(), kFirstControl, 0, kLetThrough},
        Row{"TabOnReadPasses", Tab(), kReadButton, 0, kLetThrough},
        Row{"TabElsewherePasses", Tab(), kOther, 3, kLetThrough}),
    [](const ::testing::TestParamInfo<Row>& param) { return param.param.name; });

}  // namespace
}  // namespace rovant::ui
