// Setting files through Wine's file dialogs (File Reading and Saving), and quitting with the
// working copy saved or not.
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/command_steps.hpp"
#include "texts/command_texts.hpp"
#include "texts/file_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

constexpr int kPitchCombo = 1103;         // MENU1 PITCH
constexpr int kLineSpacingCombo = 1104;   // MENU1 LINE SP
constexpr int kTearPositionCombo = 1259;  // CONFIG TEARPOS

const std::string kOverwrite(msg::kFileOverwriteQuestion);

class FilesTest : public CommandScenario {
 protected:
  // Starts with PITCH 12 in the printer, then changes LINE SP on MENU1 and TEARPOS on CONFIG;
  // the record the pages show is returned.
  Bytes StartAndChangePages() {
    const Bytes memory = Memory({L"MENU1.PITCH=12 CPI"});
    StartWithPrinter(memory);
    SelectCombo(kLineSpacingCombo, "8 LPI  ");
    SelectPage(kConfigPage);
    SelectCombo(kTearPositionCombo, "ALWAYS ");
    return Memory({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI", L"CONFIG.TEARPOS=ALWAYS"});
  }

  void Save(const std::filesystem::path& file) {
    MenuCommand(IDM_SAVE);
    AnswerFileDialog("Save", file);
  }
};

TEST_F(FilesTest, SavingToANewFileWritesThe87BytesThePagesShow) {
  const Bytes pages = StartAndChangePages();
  // No extension typed: the dialog adds ".fom".
  Save(WorkFile("new"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();
  ASSERT_TRUE(std::filesystem::exists(WorkFile("new.fom")));
  EXPECT_EQ(ReadBytes(WorkFile("new.fom")), pages);
  EXPECT_EQ(ReadBytes(WorkFile("new.fom")).size(), 87u);
}

TEST_F(FilesTest, SavingOverAFileAsksFirstNoAsksForAnotherNameYesReplaces) {
  const Bytes old{1, 2, 3};
  WriteBytes(WorkFile("old.fom"), old);
  const Bytes pages = StartAndChangePages();

  // No: the dialog again, and the new name gets the file.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDNO);
  AnswerFileDialog("Save", WorkFile("other.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), old);
  EXPECT_EQ(ReadBytes(WorkFile("other.fom")), pages);

  // No, then Cancel: nothing written.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDNO);
  CancelFileDialog("Save");
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), old);

  // Yes: replaced.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDYES);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), pages);
}

TEST_F(FilesTest, SavingOverAReadOnlyFileIsRefusedAndLeavesIt) {
  const Bytes old = Memory({L"MENU1.PITCH=15 CPI"});
  WriteBytes(WorkFile("locked.fom"), old);
  ASSERT_TRUE(::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_READONLY));
  StartAndChangePages();

  Save(WorkFile("locked.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDYES);
  ExpectBox(std::string(msg::kFileProhibited), IconKind::kError, {IDOK});
  Press(IDOK);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("locked.fom")), old);
  ::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// File Reading of files that are refused: the message, and the record left as it was.
struct RefusedFile {
  const char* file;
  Bytes content;
  std::string message;
};

TEST_F(FilesTest, ReadingRefusesEmptyShortAndDamagedFilesAndLoadsAGoodOne) {
  const Bytes good = Memory({L"MENU1.PITCH=17 CPI", L"CONFIG.TEARPOS=ALWAYS"});
  const Bytes printer = Memory({L"MENU1.PITCH=12 CPI"});
  Bytes damaged = good;
  damaged[3] = 200;  // MENU1 PITCH, whose list has 11 options
  const std::vector<RefusedFile> refused{
      {"empty.fom", {}, std::string(msg::kFileNotGot)},
      {"short.fom", Bytes(good.begin(), good.begin() + 10), std::string(msg::kFileNotGot)},
      {"damaged.fom", damaged,
       std::string(msg::kFileDamagedHeader) + "MENU1 PITCH (stored 200, list of 11)\n"},
  };
  for (const RefusedFile& c : refused) WriteBytes(WorkFile(c.file), c.content);
  WriteBytes(WorkFile("good.fom"), good);
  StartWithPrinter(printer);

  for (const RefusedFile& c : refused) {
    SCOPED_TRACE(c.file);
    MenuCommand(IDM_FILE_READ);
    AnswerFileDialog("OPEN", WorkFile(c.file));
    ExpectBox(c.message, IconKind::kError, {IDOK});
    Press(IDOK);
    EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  }
  // The whole record is still what the printer gave.
  Save(WorkFile("after-refused.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("after-refused.fom")), printer);

  MenuCommand(IDM_FILE_READ);
  AnswerFileDialog("OPEN", WorkFile("good.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();
  EXPECT_EQ(ReadCombo(kPitchCombo), "17 CPI ");
  EXPECT_EQ(PageCombo(kConfigPage, kTearPositionCombo), "ALWAYS ");
  // Saving again gives back the file read.
  Save(WorkFile("again.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("again.fom")), good);
}

// Quitting: the question, then the working copy rewritten (Yes), left alone (No), or the
// program going on (Cancel).
struct QuitCase {
  const char* name;
  int answer;
};

class QuitTest : public CommandScenario, public ::testing::WithParamInterface<QuitCase> {};

INSTANTIATE_TEST_SUITE_P(Answers, QuitTest,
                         ::testing::Values(QuitCase{"Yes", IDYES}, QuitCase{"No", IDNO},
                                           QuitCase{"Cancel", IDCANCEL}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_P(QuitTest, TheWorkingCopyFollowsTheAnswer) {
  const Bytes earlier = Memory({L"MENU1.PITCH=15 CPI"});
  PutWorkingCopy(earlier);
  StartWithPrinter(Memory({L"MENU1.PITCH=12 CPI"}));
  SelectCombo(kLineSpacingCombo, "8 LPI  ");

  ClickCommand(IDC_FINISH);
  ExpectBox(std::string(msg::kConfirmQuit), IconKind::kQuestion, {IDCANCEL, IDYES, IDNO});
  Press(GetParam().answer);
  if (GetParam().answer == IDCANCEL) {
    ASSERT_NE(WaitMainWindow(), nullptr);
    EXPECT_TRUE(NoBoxShown()) << Screen();
    EXPECT_TRUE(Rovant().Running());
    EXPECT_EQ(ReadCombo(kLineSpacingCombo), "8 LPI  ");
    EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(earlier));
    return;
  }
  // No further box: the program ends.
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  const Bytes shown = Memory({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI"});
  EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(GetParam().answer == IDYES ? shown : earlier));
}

using QuitWarningTest = CommandScenario;

TEST_F(QuitWarningTest, AfterAFailedSendSaysThePrinterDidNotAnswer) {
  StartWithPrinter(Memory({}));
  // The list printing command is refused (the 2nd send): nobody closed the printer's job.
  StartNextMonitor(1, {L"--fail-exchange", L"2"}, std::nullopt);
  MenuCommand(IDM_LIST_PRINT);
  ExpectBox(std::string(msg::kConfirmListPrint), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDOK);
  ExpectBox(std::string(msg::kNoResponse), IconKind::kPrinterError, {IDOK});
  Press(IDOK);

  ClickCommand(IDC_FINISH);
  ExpectBox(std::string(msg::kConfirmQuit), IconKind::kQuestion, {IDCANCEL, IDYES, IDNO});
  Press(IDNO);
  ExpectBox(std::string(msg::kQuitNoResponse), IconKind::kPrinterError, {IDOK});
  Press(IDOK);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_FALSE(WorkingCopy().has_value());
}

}  // namespace
}  // namespace rovant::e2e
