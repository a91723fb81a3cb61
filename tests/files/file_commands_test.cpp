#include "files/file_commands.hpp"

#include <gtest/gtest.h>

#include "model/catalogue.hpp"
#include "tests/fakes/fake_file_system.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/fakes/test_records.hpp"
#include "texts/file_messages.hpp"
#include "texts/messages.hpp"

namespace rovant {
namespace {

using Calls = std::vector<std::string>;

#ifdef _WIN32
constexpr const char* kFolder = "C:\\Users\\u\\Application Data\\Vek\\ROVANT";
constexpr const char* kWorkingCopy = "C:\\Users\\u\\Application Data\\Vek\\ROVANT\\rovant.ini";
#else
constexpr const char* kFolder = "/home/u/.config/Vek/ROVANT";
constexpr const char* kWorkingCopy = "/home/u/.config/Vek/ROVANT/rovant.ini";
#endif

std::string Box(unsigned style, std::string_view text) {
  return "box " + std::to_string(style) + "/0: " + std::string(text);
}

std::vector<std::uint8_t> Bytes(const SettingsRecord& r) { return {r.begin(), r.end()}; }

const SettingsRecord kChanged = testing::WithChanges(kFactoryDefaults, "3=5 60=3");
// MENU1 ESC/P2 (its PAGE LG 9 still in the list of 38), MENU2 XL24E with a FONT and a CHAR-W
// outside XL24E's lists, STATUS outside its two entries.
const std::vector<std::uint8_t> kDamaged =
    Bytes(testing::WithChanges(kFactoryDefaults, "0=2 23=1 24=18 28=2 84=2"));

class FileCommands : public ::testing::Test {
 protected:
  testing::CallLog log;
  testing::FakeFileSystem fs{log};
  testing::FakeFileDialogs dialogs{log};
  testing::FakeMessageBoxes boxes{log};
  testing::FakeCursor cursor{log};
  SettingsRecord record = kFactoryDefaults;
  testing::FakePageStore pages{log, record};
  FileCommandContext context{fs, dialogs, boxes, cursor, pages, record, kFolder, 99};
};

TEST_F(FileCommands, OpenLoadsTheFileAndRefreshesThePageUnlessCancelled) {
  EXPECT_FALSE(OpenSettingFile(context));
  EXPECT_EQ(record, kFactoryDefaults);
  EXPECT_EQ(log.calls, (Calls{"dialog open OPEN"}));
  log.calls.clear();
  fs.files["x.fom"] = Bytes(kChanged);
  fs.files["x.fom"].resize(100, 0xee);  // a longer file is taken by its first 87 bytes
  dialogs.paths = {"x.fom"};
  EXPECT_TRUE(OpenSettingFile(context));
  EXPECT_EQ(record, kChanged);
  EXPECT_EQ(pages.shown, kChanged);
  EXPECT_EQ(log.calls, (Calls{"dialog open OPEN", "cursor wait", "fs read x.fom", "page refresh",
                              "cursor arrow"}));
  EXPECT_EQ(dialogs.requests, std::vector<FileDialogRequest>(2, {99, "OPEN", kFolder, 0x1004}));
}

struct BadFileCase {
  const char* name;
  std::optional<std::vector<std::uint8_t>> content;  // nothing: the file is missing
  bool unreadable;
  std::string_view message;
  std::string_view detail = {};  // in the message after it
};

class OpenBadFile : public FileCommands, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(OpenBadFile, IsReportedAndLeavesTheRecordUnchanged) {
  const BadFileCase& c = GetParam();
  if (c.content) fs.files["x.fom"] = *c.content;
  if (c.unreadable) fs.unreadable.insert("x.fom");
  dialogs.paths = {"x.fom"};
  record = kChanged;
  EXPECT_FALSE(OpenSettingFile(context));
  EXPECT_EQ(record, kChanged) << c.name;
  ASSERT_EQ(log.calls.size(), 5u) << c.name;
  EXPECT_EQ(log.calls[3].substr(0, log.calls[3].find(':') + 2 + c.message.size()),
            Box(msg::kIconStop, c.message))
      << c.name;
  EXPECT_EQ(log.calls[4], "cursor arrow");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].owner, 99u);
  EXPECT_NE(boxes.shown[0].text.find(c.detail), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenBadFile,
    ::testing::Values(
        BadFileCase{"missing", std::nullopt, false, msg::kFileNotExisting},
        BadFileCase{"unreadable", std::vector<std::uint8_t>(87, 0), true, msg::kFileNotGot},
        BadFileCase{"empty", std::vector<std::uint8_t>{}, false, msg::kFileNotGot},
        BadFileCase{"86 bytes", std::vector<std::uint8_t>(86, 0), false, msg::kFileNotGot},
        BadFileCase{"values outside the lists in force, named in record order", kDamaged, false,
                    msg::kFileDamagedHeader,
                    "MENU2 FONT (stored 18, list of 18)\nMENU2 CHAR-W (stored 2, list of 2)\n"
                    "CONFIG STATUS (stored 2, list of 2)\n"},
        BadFileCase{"an emulation outside its list",
                    Bytes(testing::WithChanges(kFactoryDefaults, "23=3")), false,
                    msg::kFileDamagedHeader, "MENU2 EMULATE (stored 3, list of 3)"}));

TEST_F(FileCommands, SaveStoresThePageThenWritesANewFile) {
  pages.selections = kChanged;
  dialogs.paths = {"new.fom"};
  EXPECT_TRUE(SaveSettingFile(context));
  EXPECT_EQ(fs.files["new.fom"], Bytes(kChanged));
  EXPECT_EQ(record, kChanged);
  EXPECT_EQ(log.calls, (Calls{"page store", "dialog save Save", "cursor wait",
                              "fs write new new.fom", "cursor arrow"}));
  EXPECT_EQ(dialogs.requests[0], (FileDialogRequest{99, "Save", kFolder, 0x0004}));
}

TEST_F(FileCommands, SaveAsksBeforeOverwritingAndYesReplaces) {
  fs.files["old.fom"] = std::vector<std::uint8_t>(87, 0);
  dialogs.paths = {"old.fom"};
  boxes.answers = {msg::kResultYes};
  EXPECT_TRUE(SaveSettingFile(context));
  EXPECT_EQ(fs.files["old.fom"], Bytes(kFactoryDefaults));
  EXPECT_EQ(log.calls,
            (Calls{"page store", "dialog save Save", "cursor wait", "fs write new old.fom",
                   Box(msg::kYesNo | msg::kIconQuestion, msg::kFileOverwriteQuestion),
                   "fs write replace old.fom", "cursor arrow"}));
}

TEST_F(FileCommands, SaveNoShowsTheDialogAgainThenAnotherNameOrCancel) {
  fs.files["old.fom"] = std::vector<std::uint8_t>(87, 0);
  pages.selections = kChanged;
  dialogs.paths = {"old.fom", "other.fom"};
  boxes.answers = {msg::kResultNo};
  EXPECT_TRUE(SaveSettingFile(context));
  EXPECT_EQ(fs.files["other.fom"], Bytes(kChanged));
  EXPECT_EQ(dialogs.requests, std::vector<FileDialogRequest>(2, {99, "Save", kFolder, 0x0004}));
  log.calls.clear();
  dialogs.paths = {"old.fom"};
  boxes.answers = {msg::kResultNo};
  EXPECT_FALSE(SaveSettingFile(context));
  EXPECT_EQ(fs.files["old.fom"], std::vector<std::uint8_t>(87, 0));
  EXPECT_EQ(log.calls,
            (Calls{"page store", "dialog save Save", "cursor wait", "fs write new old.fom",
                   Box(msg::kYesNo | msg::kIconQuestion, msg::kFileOverwriteQuestion),
                   "cursor arrow", "dialog save Save"}));
}

struct WriteRefusal {
  const char* name;
  bool workingCopy;  // the working copy rather than a file the user names
  bool readOnly;     // the file exists and is read-only
  bool badFolder;
  bool diskFull;
  std::string_view message;
};

class FileRefusal : public FileCommands, public ::testing::WithParamInterface<WriteRefusal> {};

TEST_P(FileRefusal, IsReportedAndTheFileStays) {
  const WriteRefusal& c = GetParam();
  const std::string path = c.workingCopy ? kWorkingCopy : "x.fom";
  if (c.readOnly) {
    fs.files[path] = Bytes(kFactoryDefaults);
    fs.readOnly.insert(path);
  }
  fs.badFolders = c.badFolder;
  fs.diskFull = c.diskFull;
  dialogs.paths = {path};
  boxes.answers = {msg::kResultYes};
  pages.selections = kChanged;
  EXPECT_FALSE(c.workingCopy ? StoreWorkingCopy(context) : SaveSettingFile(context)) << c.name;
  EXPECT_EQ(fs.files.contains(path), c.readOnly) << c.name;
  if (c.readOnly) {
    EXPECT_EQ(fs.files[path], Bytes(kFactoryDefaults)) << c.name;
  }
  EXPECT_EQ(Calls(log.calls.end() - 2, log.calls.end()),
            (Calls{Box(msg::kIconStop, c.message), "cursor arrow"}))
      << c.name;
}

const WriteRefusal kRefusals[] = {
    {"read-only file", false, true, false, false, msg::kFileProhibited},
    {"bad folder, not a prohibited file", false, false, true, false, msg::kFileWriteFailed},
    {"disk full", false, false, false, true, msg::kFileWriteFailed},
    {"read-only working copy", true, true, false, false, msg::kWorkingCopyNotOpened},
    {"working copy on a full disk", true, false, false, true, msg::kWorkingCopyNotWritten},
};

INSTANTIATE_TEST_SUITE_P(Refusals, FileRefusal, ::testing::ValuesIn(kRefusals));

TEST(WorkingCopyPath, JoinsFolderAndNameAndCutsToTheBuffer) {
  EXPECT_EQ(WorkingCopyPath(kFolder), kWorkingCopy);
  for (const std::size_t folder : {std::size_t{248}, std::size_t{250}, std::size_t{300}}) {
    EXPECT_EQ(WorkingCopyPath(std::string(folder, 'f')).size(), 259u) << folder;
  }
  EXPECT_EQ(WorkingCopyPath("abc", 6).size(), 5u);
  EXPECT_EQ(WorkingCopyPath("abc", 1), "");
}

TEST_F(FileCommands, LoadWorkingCopyReadsItOrGivesFactoryDefaults) {
  fs.files[kWorkingCopy] = Bytes(kChanged);
  EXPECT_EQ(LoadWorkingCopy(context), WorkingCopySource::kWorkingCopy);
  EXPECT_EQ(record, kChanged);
  EXPECT_EQ(log.calls, (Calls{"cursor wait", std::string("fs read ") + kWorkingCopy, "page refresh",
                              "cursor arrow"}));
  // A damaged working copy (as any file that does not open), then none.
  for (const bool damaged : {true, false}) {
    fs.files.erase(kWorkingCopy);
    if (damaged) fs.files[kWorkingCopy] = kDamaged;
    record = kChanged;
    EXPECT_EQ(LoadWorkingCopy(context), WorkingCopySource::kFactoryDefaults);
    EXPECT_EQ(record, kFactoryDefaults);
    EXPECT_EQ(pages.shown, kFactoryDefaults);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FileCommands, WorkingCopyWhosePathDoesNotFitIsNeverCut) {
  context.settingsFolder = std::string(255, 'f');
  fs.files[WorkingCopyPath(context.settingsFolder)] = Bytes(kChanged);
  EXPECT_EQ(LoadWorkingCopy(context), WorkingCopySource::kFactoryDefaults);
  EXPECT_FALSE(StoreWorkingCopy(context));
  EXPECT_EQ(fs.files.size(), 1u);
  EXPECT_EQ(boxes.shown.back().text, msg::kWorkingCopyNotOpened);
}

TEST_F(FileCommands, StoreWorkingCopyWritesThePageSelections) {
  pages.selections = kChanged;
  EXPECT_TRUE(StoreWorkingCopy(context));
  EXPECT_EQ(fs.files[kWorkingCopy], Bytes(kChanged));
  EXPECT_EQ(log.calls, (Calls{"cursor wait", "page store",
                              std::string("fs write replace ") + kWorkingCopy, "cursor arrow"}));
}

}  // namespace
}  // namespace rovant
