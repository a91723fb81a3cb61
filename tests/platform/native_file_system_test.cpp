// The machine's own file system, in a fresh folder: binary bytes survive,
// replacing is all or nothing, read-only files are left alone.
#include "platform/native_file_system.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace rovant {
namespace {

namespace fs = std::filesystem;

class NativeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    folder = fs::temp_directory_path() / ("rovant-test-" + std::to_string(seed()));
    fs::create_directories(folder);
  }
  void TearDown() override {
    for (const auto& entry : fs::directory_iterator(folder)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(folder);
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  std::vector<std::uint8_t> Read(const std::string& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  fs::path folder;
  NativeFileSystem files;
};

// Bytes a text-mode stream would change: LF, CR, CR LF, Ctrl-Z, NUL.
const std::vector<std::uint8_t> kAwkward{0x0a, 0x0d, 0x0d, 0x0a, 0x1a, 0x00, 0x0a, 0xff, 0x1a};

TEST_F(NativeFiles, BytesRoundTripUnchanged) {
  ASSERT_EQ(files.WriteWhole(Path("a.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  EXPECT_EQ(Read("a.fom"), kAwkward);
  std::vector<std::uint8_t> buffer(87, 0x55);
  const ReadOutcome read = files.ReadPrefix(Path("a.fom"), buffer);
  EXPECT_EQ(read.status, FileStatus::kOk);
  ASSERT_EQ(read.count, kAwkward.size());
  EXPECT_TRUE(std::equal(kAwkward.begin(), kAwkward.end(), buffer.begin()));
  EXPECT_EQ(EntryCount(), 1u) << "no temporary file is left behind";
}

TEST_F(NativeFiles, ReadPrefixStopsAtTheBuffer) {
  std::vector<std::uint8_t> content(100);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i);
  ASSERT_EQ(files.WriteWhole(Path("long.fom"), content, WritePolicy::kReplace), FileStatus::kOk);
  std::vector<std::uint8_t> buffer(87);
  const ReadOutcome read = files.ReadPrefix(Path("long.fom"), buffer);
  EXPECT_EQ(read.count, 87u);
  EXPECT_EQ(buffer[86], 86);
}

TEST_F(NativeFiles, MissingFileIsNotFound) {
  std::vector<std::uint8_t> buffer(87);
  EXPECT_EQ(files.ReadPrefix(Path("none.fom"), buffer).status, FileStatus::kNotFound);
  EXPECT_EQ(files.ReadPrefix(Path("no-folder/none.fom"), buffer).status, FileStatus::kNotFound);
}

TEST_F(NativeFiles, AFolderIsNotReadAsAFile) {
  fs::create_directory(folder / "sub.fom");
  std::vector<std::uint8_t> buffer(87);
  EXPECT_EQ(files.ReadPrefix(Path("sub.fom"), buffer).status, FileStatus::kOpenFailed);
  EXPECT_EQ(files.WriteWhole(Path("sub.fom"), kAwkward, WritePolicy::kReplace),
            FileStatus::kReadOnly);
}

TEST_F(NativeFiles, CreateNewRefusesAnExistingFile) {
  ASSERT_EQ(files.WriteWhole(Path("a.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  const std::vector<std::uint8_t> other(87, 7);
  EXPECT_EQ(files.WriteWhole(Path("a.fom"), other, WritePolicy::kCreateNew),
            FileStatus::kAlreadyExists);
  EXPECT_EQ(Read("a.fom"), kAwkward);
  EXPECT_EQ(files.WriteWhole(Path("a.fom"), other, WritePolicy::kReplace), FileStatus::kOk);
  EXPECT_EQ(Read("a.fom"), other);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(NativeFiles, ReadOnlyFileIsNeverReplaced) {
  ASSERT_EQ(files.WriteWhole(Path("ro.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  fs::permissions(folder / "ro.fom",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::vector<std::uint8_t> other(87, 7);
  EXPECT_EQ(files.WriteWhole(Path("ro.fom"), other, WritePolicy::kReplace), FileStatus::kReadOnly);
  EXPECT_EQ(Read("ro.fom"), kAwkward);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(NativeFiles, MissingFolderCannotBeCreatedInto) {
  EXPECT_EQ(files.WriteWhole(Path("no-folder/a.fom"), kAwkward, WritePolicy::kCreateNew),
            FileStatus::kCreateFailed);
  EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(NativeFiles, ReplacingKeepsTheFileWholeAtEveryStep) {
  // Many replacements in a row: each leaves exactly one complete file.
  for (std::uint8_t round = 0; round < 20; ++round) {
    const std::vector<std::uint8_t> content(87, round);
    ASSERT_EQ(files.WriteWhole(Path("w.ini"), content, WritePolicy::kReplace), FileStatus::kOk);
    ASSERT_EQ(Read("w.ini"), content);
  }
  EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
}  // namespace rovant
