#include "ui/commands.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fakes/fake_file_system.hpp"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/ui/fake_command_operations.hpp"
#include "texts/command_texts.hpp"
#include "texts/file_messages.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::ui {
namespace {

using testing::CallLog;
using Calls = std::vector<std::string>;

constexpr WindowRef kMain = 100;
constexpr WindowRef kPanel = 200;
constexpr const char* kStartup = "C:\\Apps\\Rovant";

constexpr FocusDecision kRestore{false, FocusTarget::kSaved};
constexpr FocusDecision kRestoreValid{false, FocusTarget::kValidSaved};
constexpr FocusDecision kForeground{true, FocusTarget::kSaved};
constexpr FocusDecision kForegroundValid{true, FocusTarget::kValidSaved};

std::string Confirm(std::string_view question) {
  return "box " + std::to_string(0x01 | 0x20) + "/0: " + std::string(question);
}
std::string NoResponse() {
  return "box " + std::to_string(msg::kUserIconOk) + "/187: " + std::string(msg::kNoResponse);
}
std::string Read(int mode, WindowRef owner) {
  return "read " + std::to_string(mode) + " @" + std::to_string(owner);
}
std::string Write(int mode, WindowRef owner) {
  return "write " + std::to_string(mode) + " @" + std::to_string(owner);
}

class Commands : public ::testing::Test {
 protected:
  // Every box a command showed went to `owner`.
  void ExpectBoxesOwnedBy(WindowRef owner) const {
    for (const MessageBoxRequest& box : boxes.shown) EXPECT_EQ(box.owner, owner) << box.text;
  }

  CallLog log;
  AppState state;
  testing::FakeCommandOperations ops{log};
  testing::FakeMessageBoxes boxes{log};
  testing::FakeClock clock{log};
  testing::FakeHelpViewer help{log};
  testing::FakeCurrentDirectory directory{log};
  CommandContext context{state, ops, boxes, clock, help, directory, kMain, kPanel, kStartup};
};

using Run = FocusDecision (*)(CommandContext&);

// The printer commands, each in every form it has.
struct PrinterCommand {
  const char* name;
  Run run;
  WindowRef owner;
  std::string_view question;
  Calls operation;          // what an accepted command calls after the confirmation
  FocusDecision done;       // focus after the operation
  FocusDecision cancelled;  // focus after Cancel at the confirmation
  FocusDecision notReady;   // focus after a failed readiness check
};

const PrinterCommand kPrinterCommands[] = {
    {"ReadMenu",
     [](CommandContext& c) { return ReadCommand(c, CommandSource::kMenu); },
     kMain,
     msg::kConfirmRead,
     {Read(1, kMain)},
     kForegroundValid,
     kRestore,
     kRestore},
    {"ReadButton",
     [](CommandContext& c) { return ReadCommand(c, CommandSource::kButton); },
     kPanel,
     msg::kConfirmRead,
     {Read(1, kPanel)},
     kForeground,
     kForeground,
     kForeground},
    {"TransferMenu",
     [](CommandContext& c) { return TransferCommand(c, CommandSource::kMenu); },
     kMain,
     msg::kConfirmTransfer,
     {Write(1, kMain)},
     kForeground,
     kRestore,
     kRestore},
    {"TransferButton",
     [](CommandContext& c) { return TransferCommand(c, CommandSource::kButton); },
     kPanel,
     msg::kConfirmTransfer,
     {Write(1, kPanel)},
     kForeground,
     kForeground,
     kForeground},
    {"InitializeMenu",
     [](CommandContext& c) { return InitializeCommand(c, CommandSource::kMenu); },
     kMain,
     msg::kConfirmInitialize,
     {Write(2, kMain), "sleep 2000", Read(3, kMain)},
     kRestoreValid,
     kRestoreValid,
     kRestore},
    {"InitializeButton",
     [](CommandContext& c) { return InitializeCommand(c, CommandSource::kButton); },
     kPanel,
     msg::kConfirmInitialize,
     {Write(2, kPanel), "sleep 2000", Read(3, kPanel)},
     kRestore,
     kRestore,
     kForeground},
    {"ListPrintMenu",
     [](CommandContext& c) { return ListPrintCommand(c); },
     kMain,
     msg::kConfirmListPrint,
     {Write(8, kMain)},
     kRestore,
     kRestore,
     kRestore},
};

class EachPrinterCommand : public Commands, public ::testing::WithParamInterface<PrinterCommand> {};

TEST_P(EachPrinterCommand, ChecksConfirmsRunsAndRestoresTheFocus) {
  const PrinterCommand& c = GetParam();
  const FocusDecision focus = c.run(context);
  Calls expected{"ready check", Confirm(c.question)};
  expected.insert(expected.end(), c.operation.begin(), c.operation.end());
  EXPECT_EQ(log.calls, expected);
  EXPECT_EQ(focus, c.done);
  ExpectBoxesOwnedBy(c.owner);
}

TEST_P(EachPrinterCommand, CancelLeavesThePrinterUntouched) {
  const PrinterCommand& c = GetParam();
  boxes.answers = {msg::kResultCancel};
  const FocusDecision focus = c.run(context);
  EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(c.question)}));
  EXPECT_EQ(focus, c.cancelled);
  ExpectBoxesOwnedBy(c.owner);
}

TEST_P(EachPrinterCommand, StopsWhenThePrinterIsNotReady) {
  const PrinterCommand& c = GetParam();
  ops.ready = 16;
  const FocusDecision focus = c.run(context);
  EXPECT_EQ(log.calls, Calls{"ready check"});
  EXPECT_EQ(focus, c.notReady);
}

TEST_P(EachPrinterCommand, ASilentPrinterGetsOneNoResponseMessage) {
  const PrinterCommand& c = GetParam();
  ops.readResults = {0};
  ops.writeResults = {0};
  const FocusDecision focus = c.run(context);
  // The first operation fails, so nothing after it runs but the message.
  EXPECT_EQ(log.calls,
            (Calls{"ready check", Confirm(c.question), c.operation.front(), NoResponse()}));
  EXPECT_EQ(focus, c.done);
  ExpectBoxesOwnedBy(c.owner);
}

INSTANTIATE_TEST_SUITE_P(Commands, EachPrinterCommand, ::testing::ValuesIn(kPrinterCommands),
                         [](const auto& p) { return std::string(p.param.name); });

// The texts as the user reads them, character for character.
TEST(CommandTexts, AreTheProgramsOwn) {
  EXPECT_EQ(msg::kConfirmRead, "Get the setting information from Printer. \n\n Is it OK?");
  EXPECT_EQ(msg::kConfirmTransfer, "Change to the setting value?");
  EXPECT_EQ(msg::kConfirmInitialize, "Return the settings to the factory default value?");
  EXPECT_EQ(msg::kConfirmListPrint, "Print Setup list. \n\n Is it OK?");
  EXPECT_EQ(msg::kConfirmQuit, "Quit ROVANT. \n\n Save the setting value?");
  EXPECT_EQ(msg::kQuitNoResponse, "No response from Printer. Turn on the printer");
  EXPECT_EQ(msg::kNoResponse,
            "There is no response from Printer.\n\nThe current status is that Printer is not "
            "connected, Power off, or Offline.\n\nRe-start up the printer");
}

TEST_F(Commands, ConfirmationIsAnOkCancelQuestionWithOkAsDefault) {
  ReadCommand(context, CommandSource::kMenu);
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_EQ(boxes.shown[0].style, 0x21u);  // OK/Cancel, question icon, first button default
  EXPECT_EQ(boxes.shown[0].icon, 0u);
}

TEST_F(Commands, AnyAnswerButOkEndsTheCommand) {
  for (const int answer : {0, int{msg::kResultNo}, int{msg::kResultAbort}}) {
    log.calls.clear();
    boxes.answers = {answer};
    TransferCommand(context, CommandSource::kMenu);
    EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(msg::kConfirmTransfer)})) << answer;
  }
}

TEST_F(Commands, InitializeWhoseReadFailsShowsOneMessage) {
  ops.writeResults = {1};
  ops.readResults = {0};
  InitializeCommand(context, CommandSource::kMenu);
  EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(msg::kConfirmInitialize), Write(2, kMain),
                              "sleep 2000", Read(3, kMain), NoResponse()}));
}

TEST_F(Commands, InitializeWhoseDefaultFailsReadsNothingAndShowsOneMessage) {
  ops.writeResults = {0};
  InitializeCommand(context, CommandSource::kButton);
  EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(msg::kConfirmInitialize), Write(2, kPanel),
                              NoResponse()}));
  EXPECT_EQ(clock.total, 0u);
}

TEST_F(Commands, ARefusedTransferHasReportedItselfAlready) {
  ops.writeResults = {-1};
  const FocusDecision focus = TransferCommand(context, CommandSource::kMenu);
  EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(msg::kConfirmTransfer), Write(1, kMain)}));
  EXPECT_EQ(focus, kForeground);
}

TEST_F(Commands, ARefusedFactoryDefaultReadsNothing) {
  ops.writeResults = {-1};
  InitializeCommand(context, CommandSource::kMenu);
  EXPECT_EQ(log.calls, (Calls{"ready check", Confirm(msg::kConfirmInitialize), Write(2, kMain)}));
}

TEST_F(Commands, FileReadingNeedsNoPrinter) {
  ops.ready = 1;
  EXPECT_EQ(FileReadCommand(context), kRestoreValid);
  EXPECT_EQ(log.calls, Calls{"open setting file"});
}

TEST_F(Commands, SavingNeedsNoPrinter) {
  ops.ready = 1;
  EXPECT_EQ(SaveCommand(context), kRestore);
  EXPECT_EQ(log.calls, Calls{"save setting file"});
}

TEST_F(Commands, HelpOpensTheFileInTheStartupDirectory) {
  EXPECT_EQ(HelpCommand(context), kForeground);
  EXPECT_EQ(log.calls,
            (Calls{"cd C:\\Apps\\Rovant", "help show @100 C:\\Apps\\Rovant\\ROVANT.CHM"}));
}

TEST_F(Commands, HelpPathIsCutToItsBuffer) {
  const std::string folder(255, 'd');
  const std::string path = HelpFilePath(folder);
  EXPECT_EQ(path.size(), 259u);
  EXPECT_EQ(path, folder + "\\ROV");
  EXPECT_EQ(HelpFilePath("C:"), "C:\\ROVANT.CHM");
}

TEST_F(Commands, VersionShowsTheProgramsNameAndVersion) {
  EXPECT_EQ(VersionCommand(context), kRestore);
  ASSERT_EQ(boxes.shown.size(), 1u);
  const MessageBoxRequest& box = boxes.shown[0];
  EXPECT_EQ(box.owner, kMain);
  EXPECT_EQ(box.icon, 160u);
  EXPECT_EQ(box.style, msg::kUserIconOk);
  EXPECT_EQ(box.text, msg::kVersion);
  // Two lines, two empty lines, one line of ours, two line breaks.
  const std::string_view head = "Printer Utility\nROVANT  V2.00\n\n\n";
  ASSERT_TRUE(box.text.starts_with(head));
  ASSERT_TRUE(box.text.ends_with("\n\n"));
  const std::string ours = box.text.substr(head.size(), box.text.size() - head.size() - 2);
  EXPECT_FALSE(ours.empty());
  EXPECT_EQ(ours.find('\n'), std::string::npos);
}

TEST_F(Commands, DestroyingTheMainWindowClosesEveryHelpWindow) {
  OnMainWindowDestroyed(context);
  EXPECT_EQ(log.calls, Calls{"help close all"});
}

// The quit dialogue over the real working-copy command and an in-memory file system.
class Quit : public Commands {
 protected:
  Quit() {
    state.settings[5] = 1;
    ops.files = &files;
    fs.files[path] = old;
  }
  static std::string QuitBox() {
    return "box " + std::to_string(0x03 | 0x20) + "/0: " + std::string(msg::kConfirmQuit);
  }
  static std::string Warning() {
    return "box " + std::to_string(msg::kUserIconOk) + "/187: " + std::string(msg::kQuitNoResponse);
  }
  const std::vector<std::uint8_t>& WorkingCopy() { return fs.files[path]; }

  testing::FakeFileSystem fs{log};
  testing::FakeFileDialogs dialogs{log};
  testing::FakeCursor cursor{log};
  testing::FakePageStore pages{log, state.settings};
  FileCommandContext files{fs,    dialogs,        boxes,           cursor,
                           pages, state.settings, "C:\\Users\\me", kMain};
  std::string path = WorkingCopyPath("C:\\Users\\me");
  std::vector<std::uint8_t> old = std::vector<std::uint8_t>(kItemCount, 0);
};

TEST_F(Quit, YesStoresTheWorkingCopyAndEnds) {
  boxes.answers = {msg::kResultYes};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kDestroy);
  EXPECT_EQ(log.calls, (Calls{QuitBox(), "store working copy", "cursor wait", "page store",
                              "fs write replace " + path, "cursor arrow"}));
  EXPECT_TRUE(std::equal(state.settings.begin(), state.settings.end(), WorkingCopy().begin(),
                         WorkingCopy().end()));
  ExpectBoxesOwnedBy(kMain);
}

TEST_F(Quit, NoLeavesTheWorkingCopyAlone) {
  boxes.answers = {msg::kResultNo};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kDestroy);
  EXPECT_EQ(log.calls, Calls{QuitBox()});
  EXPECT_EQ(WorkingCopy(), old);
}

TEST_F(Quit, CancelKeepsRunningAndTouchesNothing) {
  state.noResponsePending = true;
  boxes.answers = {msg::kResultCancel};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kKeepRunning);
  EXPECT_EQ(log.calls, Calls{QuitBox()});
  EXPECT_EQ(WorkingCopy(), old);
}

TEST_F(Quit, WarnsOfAPendingNoResponseAfterNo) {
  state.noResponsePending = true;
  boxes.answers = {msg::kResultNo};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kDestroy);
  EXPECT_EQ(log.calls, (Calls{QuitBox(), Warning()}));
  ExpectBoxesOwnedBy(kMain);
}

TEST_F(Quit, WarnsOfAPendingNoResponseAfterStoringOnYes) {
  state.noResponsePending = true;
  boxes.answers = {msg::kResultYes};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kDestroy);
  ASSERT_GE(log.calls.size(), 3u);
  EXPECT_EQ(log.calls[1], "store working copy");
  EXPECT_EQ(log.calls.back(), Warning());
}

TEST_F(Quit, YesKeepsRunningWhenTheWorkingCopyCannotBeStored) {
  state.noResponsePending = true;
  fs.diskFull = true;
  boxes.answers = {msg::kResultYes, msg::kResultOk};
  EXPECT_EQ(QuitDialogue(context), QuitDecision::kKeepRunning);
  ASSERT_EQ(boxes.shown.size(), 2u);  // the question and the failure; no warning, no end
  EXPECT_EQ(boxes.shown[1].text, msg::kWorkingCopyNotWritten);
  EXPECT_EQ(WorkingCopy(), old);
}

TEST_F(Quit, TheQuestionIsYesNoCancelWithYesAsDefault) {
  boxes.answers = {msg::kResultCancel};
  QuitDialogue(context);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].style, 0x23u);
  EXPECT_EQ(boxes.shown[0].text, "Quit ROVANT. \n\n Save the setting value?");
}

}  // namespace
}  // namespace rovant::ui
