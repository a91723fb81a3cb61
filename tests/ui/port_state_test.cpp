#include "ui/port_state.hpp"

#include <gtest/gtest.h>

#include <string>

namespace rovant::ui {
namespace {

constexpr std::uint32_t kBidi = kAttributeEnableBidi;
constexpr std::uint32_t kOffline = kAttributeWorkOffline;
constexpr std::uint32_t kPaused = kStatusPaused;

struct ClassifyCase {
  const char* name;
  const char* port;
  std::uint32_t attributes;
  std::uint32_t status;
  const char* separator;
  int expected;
};

class ClassifyPortTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyPortTest, GivesTheFirstMatchingRule) {
  const ClassifyCase& c = GetParam();
  EXPECT_EQ(ClassifyPort({c.port, c.attributes, c.status, c.separator}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ClassifyPortTest,
    ::testing::Values(
        ClassifyCase{"LocalLpt", "LPT1:", kBidi, 0, "", kPortLocal},
        ClassifyCase{"LocalUsb", "USB001", kBidi, 0, "", kPortLocal},
        ClassifyCase{"LptInsideName", "XLPTX", kBidi, 0, "", kPortLocal},
        ClassifyCase{"OtherBitsDoNotMatter", "LPT1:", kBidi | 0x1000 | 0x4, 0x2 | 0x80, "",
                     kPortLocal},
        ClassifyCase{"LanPort", "IP_10.0.0.1:lp", 0, kPaused, "sep.sep", kPortLan},
        ClassifyCase{"LanBeforeFile", "FILE:x:lp", 0, 0, "", kPortLan},
        ClassifyCase{"LanBeforeLpt", "LPT1:lp", 0, 0, "", kPortLan},
        ClassifyCase{"LanIsCaseSensitive", "IP:LP", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"FilePort", "FILE:", kBidi, 0, "", kPortFile},
        ClassifyCase{"FileBeforeLpt", "FILE:LPT1:", kBidi, 0, "", kPortFile},
        ClassifyCase{"FileOnlyAtTheStart", "LPT1:,FILE:", kBidi, 0, "", kPortLocal},
        ClassifyCase{"FileIsCaseSensitive", "file:", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"ComPort", "COM1:", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"EmptyPort", "", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"LowerCaseLpt", "lpt1:", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"LowerCaseUsb", "usb001", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"IppPortWithoutLpt", "http://host:631/ipp/x", kBidi, 0, "", kPortUnusable},
        ClassifyCase{"UnusablePortBeforeBidi", "COM1:", 0, kPaused, "s", kPortUnusable},
        ClassifyCase{"NoBidi", "LPT1:", 0, 0, "", kPortNoBidi},
        ClassifyCase{"NoBidiBeforePaused", "LPT1:", kOffline, kPaused, "s", kPortNoBidi},
        ClassifyCase{"Paused", "USB001", kBidi, kPaused, "", kPortPaused},
        ClassifyCase{"PausedBeforeOffline", "LPT1:", kBidi | kOffline, kPaused | 0x2, "s",
                     kPortPaused},
        ClassifyCase{"Offline", "LPT1:", kBidi | kOffline, 0, "", kPortOffline},
        ClassifyCase{"OfflineBeforeSeparator", "LPT1:", kBidi | kOffline, 0, "s", kPortOffline},
        ClassifyCase{"Separator", "LPT1:", kBidi, 0, "C:\\sep.sep", kPortSeparator},
        ClassifyCase{"StatusOtherThanPaused", "LPT1:", kBidi, 0xFFFFFFFEu, "", kPortLocal}),
    [](const auto& p) { return std::string(p.param.name); });

struct StateCase {
  int portState;
  unsigned icon;
  bool hasMessage;
};

class PortStateTable : public ::testing::TestWithParam<StateCase> {};

TEST_P(PortStateTable, IconAndMessage) {
  const StateCase& c = GetParam();
  EXPECT_EQ(IconOfPortState(c.portState), c.icon);
  EXPECT_EQ(PortStateMessageOf(c.portState).has_value(), c.hasMessage);
  EXPECT_EQ(IsUsablePort(c.portState), !c.hasMessage);
}

INSTANTIATE_TEST_SUITE_P(EveryState, PortStateTable,
                         ::testing::Values(StateCase{0, 160, false}, StateCase{1, 160, false},
                                           StateCase{2, 188, true}, StateCase{3, 188, true},
                                           StateCase{4, 188, true}, StateCase{5, 188, true},
                                           StateCase{6, 188, true}, StateCase{255, 188, true}));

TEST(PortStateMessages, OnlyTheBlockingStatesHaveOne) {
  EXPECT_FALSE(PortStateMessageOf(7).has_value());
  EXPECT_FALSE(PortStateMessageOf(-1).has_value());
}

}  // namespace
}  // namespace rovant::ui
