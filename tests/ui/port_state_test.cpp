#include "ui/port_state.hpp"

#include <gtest/gtest.h>

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

const ClassifyCase kRules[] = {
    {"LocalUsb", "USB001", kBidi, 0, "", kPortLocal},
    {"LptInsideName", "XLPTX", kBidi, 0, "", kPortLocal},
    {"OtherBitsDoNotMatter", "LPT1:", kBidi | 0x1000 | 0x4, 0x2 | 0x80, "", kPortLocal},
    {"LanPort", "IP_10.0.0.1:lp", 0, kPaused, "sep.sep", kPortLan},
    {"LanBeforeFile", "FILE:x:lp", 0, 0, "", kPortLan},
    {"LanBeforeLpt", "LPT1:lp", 0, 0, "", kPortLan},
    {"LanIsCaseSensitive", "IP:LP", kBidi, 0, "", kPortUnusable},
    {"FileBeforeLpt", "FILE:LPT1:", kBidi, 0, "", kPortFile},
    {"FileOnlyAtTheStart", "LPT1:,FILE:", kBidi, 0, "", kPortLocal},
    {"FileIsCaseSensitive", "file:", kBidi, 0, "", kPortUnusable},
    {"ComPort", "COM1:", kBidi, 0, "", kPortUnusable},
    {"EmptyPort", "", kBidi, 0, "", kPortUnusable},
    {"LowerCaseUsb", "usb001", kBidi, 0, "", kPortUnusable},
    {"IppPortWithoutLpt", "http://host:631/ipp/x", kBidi, 0, "", kPortUnusable},
    {"UnusablePortBeforeBidi", "COM1:", 0, kPaused, "s", kPortUnusable},
    {"NoBidi", "LPT1:", 0, 0, "", kPortNoBidi},
    {"NoBidiBeforePaused", "LPT1:", kOffline, kPaused, "s", kPortNoBidi},
    {"Paused", "USB001", kBidi, kPaused, "", kPortPaused},
    {"PausedBeforeOffline", "LPT1:", kBidi | kOffline, kPaused | 0x2, "s", kPortPaused},
    {"Offline", "LPT1:", kBidi | kOffline, 0, "", kPortOffline},
    {"OfflineBeforeSeparator", "LPT1:", kBidi | kOffline, 0, "s", kPortOffline},
    {"Separator", "LPT1:", kBidi, 0, "C:\\sep.sep", kPortSeparator},
    {"StatusOtherThanPaused", "LPT1:", kBidi, 0xFFFFFFFEu, "", kPortLocal}};

TEST(ClassifyPort, GivesTheFirstMatchingRule) {
  for (const ClassifyCase& c : kRules)
    EXPECT_EQ(ClassifyPort({c.port, c.attributes, c.status, c.separator}), c.expected) << c.name;
}

}  // namespace
}  // namespace rovant::ui
