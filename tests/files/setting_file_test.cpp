#include "files/setting_file.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "model/catalogue.hpp"

namespace rovant {
namespace {

std::vector<std::uint8_t> Bytes(const SettingsRecord& record) {
  return {record.begin(), record.end()};
}

TEST(DecodeSettingFile, TakesTheFirst87Bytes) {
  for (const std::size_t size : {std::size_t{87}, std::size_t{100}}) {
    std::vector<std::uint8_t> bytes = Bytes(kFactoryDefaults);
    bytes.resize(size, 0xee);
    const LoadedSettings loaded = DecodeSettingFile(bytes);
    EXPECT_EQ(loaded.status, LoadStatus::kOk) << size;
    EXPECT_EQ(loaded.record, kFactoryDefaults) << size;
  }
}

TEST(DecodeSettingFile, ValuesOutsideTheListsInForceAreNamedInRecordOrder) {
  SettingsRecord record = kFactoryDefaults;
  record[0] = 2;            // MENU1 ESC/P2: PAGE LG 9 is still valid in the list of 38
  record[23] = 1;           // MENU2 XL24E
  record[24] = 18;          // "DOWNLD1" does not exist under XL24E
  record[kStatusItem] = 2;  // STATUS has two entries
  record[23 + 5] = 2;       // CHAR-W "4 TIMES" does not exist under XL24E
  const LoadedSettings loaded = DecodeSettingFile(Bytes(record));
  EXPECT_EQ(loaded.status, LoadStatus::kOutOfList);
  ASSERT_EQ(loaded.badItems.size(), 3u);
  EXPECT_EQ(loaded.badItems[0], 24u);
  EXPECT_EQ(loaded.badItems[1], 28u);
  EXPECT_EQ(loaded.badItems[2], kStatusItem);
  EXPECT_EQ(ListItemsWithValues(loaded.badItems, loaded.record),
            "MENU2 FONT (stored 18, list of 18)\nMENU2 CHAR-W (stored 2, list of 2)\n"
            "CONFIG STATUS (stored 2, list of 2)\n");
}

TEST(DecodeSettingFile, AnyEmulationByteOutsideItsListIsRefused) {
  SettingsRecord record = kFactoryDefaults;
  record[kMenu2Emulate] = 3;
  const LoadedSettings loaded = DecodeSettingFile(Bytes(record));
  EXPECT_EQ(loaded.status, LoadStatus::kOutOfList);
  EXPECT_TRUE(loaded.badItems.Contains(kMenu2Emulate));
}

}  // namespace
}  // namespace rovant
