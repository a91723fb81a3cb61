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

class FilesTest : public EndToEnd {
 protected:
  void Save(const std::filesystem::path& file) {
    MenuCommand(IDM_SAVE);
    AnswerFileDialog("Save", file);
  }
};

// File Reading of files that are refused, and their message (the record they leave is
// file_commands_test's).
struct RefusedFile {
  const char* file;
  Bytes content;
  std::string message;
};

// Saving over an existing file: the answer to the question, then after No the name typed into
// the dialog again ("": Cancel); what the file holds after.
struct Replacing {
  const char* file;
  int answer;
  const char* then;
  const Bytes& after;
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
  const RefusedFile refused[] = {
      {"empty.fom", {}, std::string(msg::kFileNotGot)},
      {"short.fom", Bytes(good.begin(), good.begin() + 10), std::string(msg::kFileNotGot)},
      {"damaged.fom", damaged,
       std::string(msg::kFileDamagedHeader) + "MENU1 PITCH (stored 200, list of 11)\n"}};
  for (const RefusedFile& c : refused) WriteBytes(WorkFile(c.file), c.content);
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
  const Replacing replacing[] = {{"old.fom", IDNO, "other.fom", old},
                                 {"old.fom", IDNO, "", old},
                                 {"old.fom", IDYES, "", pages},
                                 {"locked.fom", IDYES, "", locked}};
  for (const Replacing& r : replacing) {
    SCOPED_TRACE(std::string(r.file) + " " + uidriver::ButtonName(r.answer) + " " + r.then);
    Save(WorkFile(r.file));
    AnswerBox(msg::kFileOverwriteQuestion, {IDYES, IDNO}, r.answer);
    if (r.answer == IDNO) AnswerFileDialog("Save", *r.then ? WorkFile(r.then) : "");
    if (std::string_view(r.file) == "locked.fom") AnswerBox(msg::kFileProhibited, {IDOK}, IDOK);
    ASSERT_NE(WaitMainWindow(), nullptr);
    EXPECT_EQ(ReadBytes(WorkFile(r.file)), r.after);
  }
  EXPECT_EQ(ReadBytes(WorkFile("other.fom")), pages);
  ::SetFileAttributesW(WorkFile("locked.fom").c_str(), FILE_ATTRIBUTE_NORMAL);

  for (const RefusedFile& c : refused) {
    SCOPED_TRACE(c.file);
    MenuCommand(IDM_FILE_READ);
    AnswerFileDialog("OPEN", WorkFile(c.file));
    AnswerBox(c.message, {IDOK}, IDOK);
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
