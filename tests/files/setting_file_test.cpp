#include "files/setting_file.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "model/catalogue.hpp"
#include "tests/fakes/fake_file_system.hpp"

namespace rovant {
namespace {

std::vector<std::uint8_t> Bytes(const SettingsRecord& record) {
  return {record.begin(), record.end()};
}

TEST(DecodeSettingFile, TakesExactly87Bytes) {
  const LoadedSettings loaded = DecodeSettingFile(Bytes(kFactoryDefaults));
  EXPECT_EQ(loaded.status, LoadStatus::kOk);
  EXPECT_EQ(loaded.record, kFactoryDefaults);
}

TEST(DecodeSettingFile, LongerFileLoadsItsFirst87Bytes) {
  std::vector<std::uint8_t> bytes = Bytes(kFactoryDefaults);
  bytes.resize(100, 0xee);
  const LoadedSettings loaded = DecodeSettingFile(bytes);
  EXPECT_EQ(loaded.status, LoadStatus::kOk);
  EXPECT_EQ(loaded.record, kFactoryDefaults);
}

TEST(DecodeSettingFile, EmptyAndShortFilesAreRefused) {
  EXPECT_EQ(DecodeSettingFile({}).status, LoadStatus::kEmpty);
  for (const std::size_t size : {std::size_t{1}, std::size_t{46}, std::size_t{86}}) {
    std::vector<std::uint8_t> bytes = Bytes(kFactoryDefaults);
    bytes.resize(size);
    const LoadedSettings loaded = DecodeSettingFile(bytes);
    EXPECT_EQ(loaded.status, LoadStatus::kShort) << size;
    EXPECT_EQ(loaded.size, size);
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

TEST(LoadSettingFile, ReportsMissingAndUnreadableFiles) {
  testing::CallLog log;
  testing::FakeFileSystem fs(log);
  EXPECT_EQ(LoadSettingFile(fs, "none.fom").status, LoadStatus::kNotFound);
  fs.files["bad.fom"] = Bytes(kFactoryDefaults);
  fs.unreadable.insert("bad.fom");
  EXPECT_EQ(LoadSettingFile(fs, "bad.fom").status, LoadStatus::kReadFailed);
  fs.files["ok.fom"] = Bytes(kFactoryDefaults);
  EXPECT_EQ(LoadSettingFile(fs, "ok.fom").record, kFactoryDefaults);
}

TEST(WriteSettingFile, WritesThe87RecordBytes) {
  testing::CallLog log;
  testing::FakeFileSystem fs(log);
  ASSERT_EQ(WriteSettingFile(fs, "a.fom", kFactoryDefaults, WritePolicy::kCreateNew),
            FileStatus::kOk);
  EXPECT_EQ(fs.files["a.fom"], Bytes(kFactoryDefaults));
  EXPECT_EQ(fs.files["a.fom"].size(), 87u);
}

}  // namespace
}  // namespace rovant
