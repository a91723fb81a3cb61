// Setting files through Wine's file dialogs (File Reading and Saving), and quitting after a
// failed send.
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
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

class FilesTest : public EndToEnd {
 protected:
  void Save(const std::filesystem::path& file) {
    MenuCommand(IDM_SAVE);
    AnswerFileDialog("Save", file);
  }
};

// File Reading of files that are refused: the message, and the record left as it was.
struct RefusedFile {
  const char* file;
  Bytes content;
  std::string message;
};

// Saving: a new name gets ".fom" and the 87 bytes the pages show; an existing file is replaced
// only after Yes (No asks for another name, which may be cancelled); a read-only one is refused.
// Then File Reading: empty, short and damaged files are refused, a good one is loaded.
TEST_F(FilesTest, SavingAsksBeforeReplacingAndReadingRefusesBadFiles) {
  const Bytes old{1, 2, 3};
  WriteBytes(WorkFile("old.fom"), old);
  const Bytes locked = MemoryWith({L"MENU1.PITCH=15 CPI"});
  WriteBytes(WorkFile("locked.fom"), locked);
  ASSERT_TRUE(::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_READONLY));
  const Bytes good = MemoryWith({L"MENU1.PITCH=17 CPI", L"CONFIG.TEARPOS=ALWAYS"});
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
  // PITCH 12 in the printer, then LINE SP changed on MENU1 and TEARPOS on CONFIG.
  StartWithPrinter(MemoryWith({L"MENU1.PITCH=12 CPI"}));
  SelectCombo(kLineSpacingCombo, "8 LPI  ");
  SelectPage(kConfigPage);
  SelectCombo(kTearPositionCombo, "ALWAYS ");
  const Bytes pages =
      MemoryWith({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI", L"CONFIG.TEARPOS=ALWAYS"});

  // No extension typed: the dialog adds ".fom".
  Save(WorkFile("new"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("new.fom")), pages);
  EXPECT_EQ(ReadBytes(WorkFile("new.fom")).size(), 87u);

  // No: the dialog again, and the new name gets the file.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDNO);
  AnswerFileDialog("Save", WorkFile("other.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), old);
  EXPECT_EQ(ReadBytes(WorkFile("other.fom")), pages);

  // No, then Cancel: nothing written.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDNO);
  AnswerFileDialog("Save", {});
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), old);

  // Yes: replaced.
  Save(WorkFile("old.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDYES);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("old.fom")), pages);

  // Yes over a read-only file: refused, and the file stays.
  Save(WorkFile("locked.fom"));
  ExpectBox(kOverwrite, IconKind::kQuestion, {IDYES, IDNO});
  Press(IDYES);
  ExpectBox(std::string(msg::kFileProhibited), IconKind::kError, {IDOK});
  Press(IDOK);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("locked.fom")), locked);
  ::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_NORMAL);

  SelectPage(kMenu1Page);
  for (const RefusedFile& c : refused) {
    SCOPED_TRACE(c.file);
    MenuCommand(IDM_FILE_READ);
    AnswerFileDialog("OPEN", WorkFile(c.file));
    ExpectBox(c.message, IconKind::kError, {IDOK});
    Press(IDOK);
    EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  }
  // The whole record is still what the pages showed.
  Save(WorkFile("after-refused.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("after-refused.fom")), pages);

  MenuCommand(IDM_FILE_READ);
  AnswerFileDialog("OPEN", WorkFile("good.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadCombo(kPitchCombo), "17 CPI ");
  EXPECT_EQ(PageCombo(kConfigPage, kTearPositionCombo), "ALWAYS ");
  // Saving again gives back the file read.
  Save(WorkFile("again.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("again.fom")), good);
}

using QuitWarningTest = EndToEnd;

TEST_F(QuitWarningTest, AfterAFailedSendSaysThePrinterDidNotAnswer) {
  StartWithPrinter(MemoryWith({}));
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
