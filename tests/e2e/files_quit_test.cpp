// Setting files through Wine's file dialogs (File Reading and Saving), and quitting after a
// failed send.
#include <string>
#include <tuple>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"
#include "texts/file_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {
namespace {

class FilesTest : public EndToEnd {
 protected:
  void Save(const std::filesystem::path& file) {
    MenuCommand(IDM_SAVE);
    AnswerFileDialog("Save", file);
  }
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
  // Files that File Reading refuses: name, content, message (the record they leave is
  // file_commands_test's).
  const std::tuple<const char*, Bytes, std::string> refused[] = {
      {"empty.fom", {}, std::string(msg::kFileNotGot)},
      {"short.fom", Bytes(good.begin(), good.begin() + 10), std::string(msg::kFileNotGot)},
      {"damaged.fom", damaged,
       std::string(msg::kFileDamagedHeader) + "MENU1 PITCH (stored 200, list of 11)\n"}};
  for (const auto& [file, content, message] : refused) WriteBytes(WorkFile(file), content);
  WriteBytes(WorkFile("good.fom"), good);
  // PITCH 12 in the printer, then LINE SP changed on MENU1 and TEARPOS on CONFIG.
  StartWithPrinter(MemoryWith({L"MENU1.PITCH=12 CPI"}));
  SelectCombo(kLineSpacingCombo, "8 LPI  ");
  SelectCombo(kTearPositionCombo, "ALWAYS ");
  const Bytes pages =
      MemoryWith({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI", L"CONFIG.TEARPOS=ALWAYS"});

  // No extension typed: the dialog adds ".fom".
  Save(WorkFile("new"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadBytes(WorkFile("new.fom")), pages);

  // No: the dialog again, where another name gets the file or Cancel writes nothing; Yes
  // replaces the file, but a read-only one is refused and stays.
  // file, the answer, after No the name typed into the dialog again ("": Cancel), the file after
  const std::tuple<const char*, int, const char*, const Bytes&> replacing[] = {
      {"old.fom", IDNO, "other.fom", old},
      {"old.fom", IDNO, "", old},
      {"old.fom", IDYES, "", pages},
      {"locked.fom", IDYES, "", locked}};
  for (const auto& [file, answer, then, after] : replacing) {
    SCOPED_TRACE(std::string(file) + " " + uidriver::ButtonName(answer) + " " + then);
    Save(WorkFile(file));
    AnswerBox(msg::kFileOverwriteQuestion, {IDYES, IDNO}, answer);
    if (answer == IDNO) AnswerFileDialog("Save", *then ? WorkFile(then) : "");
    if (std::string_view(file) == "locked.fom") AnswerBox(msg::kFileProhibited, {IDOK}, IDOK);
    ASSERT_NE(WaitMainWindow(), nullptr);
    EXPECT_EQ(ReadBytes(WorkFile(file)), after);
  }
  EXPECT_EQ(ReadBytes(WorkFile("other.fom")), pages);
  ::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_NORMAL);

  for (const auto& [file, content, message] : refused) {
    SCOPED_TRACE(file);
    MenuCommand(IDM_FILE_READ);
    AnswerFileDialog("OPEN", WorkFile(file));
    AnswerBox(message, {IDOK}, IDOK);
  }
  MenuCommand(IDM_FILE_READ);
  AnswerFileDialog("OPEN", WorkFile("good.fom"));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadCombo(kPitchCombo), "17 CPI ");
}

using QuitWarningTest = EndToEnd;

TEST_F(QuitWarningTest, AfterAFailedSendSaysThePrinterDidNotAnswer) {
  StartWithPrinter(MemoryWith({}));
  // The list printing command is refused (the 2nd send): nobody closed the printer's job.
  StartNextMonitor({L"--fail-exchange", L"2"}, std::nullopt);
  MenuCommand(IDM_LIST_PRINT);
  AnswerBox(msg::kConfirmListPrint, {IDOK, IDCANCEL}, IDOK);
  AnswerBox(msg::kNoResponse, {IDOK}, IDOK);

  ClickCommand(IDC_FINISH);
  AnswerBox(msg::kConfirmQuit, {IDCANCEL, IDYES, IDNO}, IDNO);
  AnswerBox(msg::kQuitNoResponse, {IDOK}, IDOK);
  ExpectRovantEnded();
  EXPECT_FALSE(WorkingCopy().has_value());
}

}  // namespace
}  // namespace rovant::e2e
