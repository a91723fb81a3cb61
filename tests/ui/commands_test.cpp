#include "ui/commands.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>
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
using testing::Calls;
using testing::Join;

constexpr WindowRef kMain = 100;
constexpr WindowRef kPanel = 200;
constexpr const char* kStartup = "C:\\Apps\\Rovant";

constexpr FocusDecision kRestore{false, FocusTarget::kSaved};
constexpr FocusDecision kRestoreValid{false, FocusTarget::kValidSaved};
constexpr FocusDecision kForeground{true, FocusTarget::kSaved};
constexpr FocusDecision kForegroundValid{true, FocusTarget::kValidSaved};

// OK/Cancel with the question icon; Yes/No/Cancel for the quit question.
std::string Question(std::string_view text, unsigned style = 0x21) {
  return "box " + std::to_string(style) + "/0: " + std::string(text);
}
std::string ErrorBox(std::string_view text, unsigned icon = 187) {
  return "box " + std::to_string(msg::kUserIconOk) + "/" + std::to_string(icon) + ": " +
         std::string(text);
}
std::string Op(std::string_view what, int mode, WindowRef owner) {
  return std::string(what) + " " + std::to_string(mode) + " @" + std::to_string(owner);
}

class Commands : public ::testing::Test {
 protected:
  void ExpectBoxesOwnedBy(WindowRef owner) const {
    for (const MessageBoxRequest& box : boxes.shown) EXPECT_EQ(box.owner, owner) << box.text;
  }

  CallLog log;
  AppState state;
  testing::FakeCommandOperations ops{log};
  testing::FakeMessageBoxes boxes{log};
  testing::FakeClock clock{log};
  CommandContext context{state, ops, boxes, clock, ops, ops, kMain, kPanel, kStartup};
};

using Command = FocusDecision (*)(CommandContext&);

// The printer commands, each in every form it has: name, command, the boxes' owner, the
// question, what an accepted command calls after it, and the focus after the operation, after
// Cancel at the question and after a failed readiness check.
using PrinterCommand = std::tuple<const char*, Command, WindowRef, std::string_view, Calls,
                                  FocusDecision, FocusDecision, FocusDecision>;

template <FocusDecision (*Run)(CommandContext&, CommandSource), CommandSource source>
FocusDecision From(CommandContext& c) {
  return Run(c, source);
}
constexpr Command ReadMenu = From<ReadCommand, CommandSource::kMenu>;
constexpr Command ReadButton = From<ReadCommand, CommandSource::kButton>;
constexpr Command TransferMenu = From<TransferCommand, CommandSource::kMenu>;
constexpr Command TransferButton = From<TransferCommand, CommandSource::kButton>;
constexpr Command InitializeMenu = From<InitializeCommand, CommandSource::kMenu>;
constexpr Command InitializeButton = From<InitializeCommand, CommandSource::kButton>;

const PrinterCommand kPrinterCommands[] = {
    {"ReadMenu", ReadMenu, kMain, msg::kConfirmRead, Calls{Op("read", 1, kMain)}, kForegroundValid,
     kRestore, kRestore},
    {"ReadButton", ReadButton, kPanel, msg::kConfirmRead, Calls{Op("read", 1, kPanel)}, kForeground,
     kForeground, kForeground},
    {"TransferMenu", TransferMenu, kMain, msg::kConfirmTransfer, Calls{Op("write", 1, kMain)},
     kForeground, kRestore, kRestore},
    {"TransferButton", TransferButton, kPanel, msg::kConfirmTransfer, Calls{Op("write", 1, kPanel)},
     kForeground, kForeground, kForeground},
    {"InitializeMenu", InitializeMenu, kMain, msg::kConfirmInitialize,
     Calls{Op("write", 2, kMain), "sleep 2000", Op("read", 3, kMain)}, kRestoreValid, kRestoreValid,
     kRestore},
    {"InitializeButton", InitializeButton, kPanel, msg::kConfirmInitialize,
     Calls{Op("write", 2, kPanel), "sleep 2000", Op("read", 3, kPanel)}, kRestore, kRestore,
     kForeground},
    {"ListPrintMenu", ListPrintCommand, kMain, msg::kConfirmListPrint, Calls{Op("write", 8, kMain)},
     kRestore, kRestore, kRestore}};

class EachPrinterCommand : public Commands, public ::testing::WithParamInterface<PrinterCommand> {};

// Accepted, then answered with anything but OK, then without a ready printer, then with a
// silent one.
TEST_P(EachPrinterCommand, ChecksConfirmsRunsAndRestoresTheFocus) {
  const auto& [name, run, owner, question, operation, done, cancelled, notReady] = GetParam();
  const Calls asked{"ready check", Question(question)};
  EXPECT_EQ(run(context), done);
  EXPECT_EQ(log.calls, Join({asked, operation}));
  for (const int answer : {int{msg::kResultCancel}, 0, int{msg::kResultNo}}) {
    log.calls.clear();
    boxes.answers = {answer};
    EXPECT_EQ(run(context), cancelled);
    EXPECT_EQ(log.calls, asked) << answer;
  }
  log.calls.clear();
  ops.ready = 16;
  EXPECT_EQ(run(context), notReady);
  EXPECT_EQ(log.calls, Calls{"ready check"});

  // The first operation fails, so nothing after it runs but the message.
  log.calls.clear();
  ops.ready = 0;
  ops.readResults = {0};
  ops.writeResults = {0};
  EXPECT_EQ(run(context), done);
  EXPECT_EQ(log.calls, Join({asked, {operation.front(), ErrorBox(msg::kNoResponse)}}));
  ExpectBoxesOwnedBy(owner);
}

INSTANTIATE_TEST_SUITE_P(Commands, EachPrinterCommand, ::testing::ValuesIn(kPrinterCommands),
                         [](const auto& p) { return std::string(std::get<0>(p.param)); });

using Results = std::deque<int>;

// Operations that fail after the first one, or that refuse (and have reported themselves): the
// command ends with at most one message.
TEST_F(Commands, LaterFailuresEndTheCommand) {
  // the command, the writes' and the reads' results, the calls after the confirmation
  const std::tuple<Command, Results, Results, Calls> cases[] = {
      {InitializeMenu, Results{1}, Results{0},
       Calls{Op("write", 2, kMain), "sleep 2000", Op("read", 3, kMain),
             ErrorBox(msg::kNoResponse)}},
      {InitializeMenu, Results{-1}, Results{}, Calls{Op("write", 2, kMain)}},
      {TransferMenu, Results{-1}, Results{}, Calls{Op("write", 1, kMain)}}};
  for (const auto& [run, writes, reads, after] : cases) {
    log.calls.clear();
    ops.writeResults = writes;
    ops.readResults = reads;
    run(context);
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(Calls(log.calls.begin() + 2, log.calls.end()), after);
  }
}

// The commands without the printer, whatever its readiness: each call and the focus after it.
TEST_F(Commands, PlainCommandsNeedNoPrinter) {
  const std::tuple<Command, Calls, FocusDecision> cases[] = {
      {FileReadCommand, Calls{"open setting file"}, kRestoreValid},
      {SaveCommand, Calls{"save setting file"}, kRestore},
      {HelpCommand, Calls{"cd C:\\Apps\\Rovant", "help show @100 C:\\Apps\\Rovant\\ROVANT.CHM"},
       kForeground},
      {VersionCommand, Calls{ErrorBox(msg::kVersion, 160)}, kRestore}};
  for (const auto& [run, calls, focus] : cases) {
    for (const int ready : {0, 1}) {
      log.calls.clear();
      ops.ready = ready;
      EXPECT_EQ(run(context), focus);
      EXPECT_EQ(log.calls, calls);
    }
  }
  ExpectBoxesOwnedBy(kMain);
}

TEST_F(Commands, HelpPathIsCutToItsBufferAndTheHelpClosesWithTheMainWindow) {
  EXPECT_EQ(HelpFilePath(std::string(255, 'd')), std::string(255, 'd') + "\\ROV");
  EXPECT_EQ(HelpFilePath("C:"), "C:\\ROVANT.CHM");
  OnMainWindowDestroyed(context);
  EXPECT_EQ(log.calls, Calls{"help close all"});
}

// The quit dialogue over the real working-copy command and an in-memory file system.
class Quit : public Commands {
 protected:
  Quit() {
    state.settings[5] = 1;
    ops.files = &files;
  }

  testing::FakeFileSystem fs{log};
  testing::FakeFileDialogs dialogs{log};
  testing::FakeCursor cursor{log};
  testing::FakePageStore pages{log, state.settings};
  FileCommandContext files{fs,    dialogs,        boxes,           cursor,
                           pages, state.settings, "C:\\Users\\me", kMain};
};

TEST_F(Quit, KeepsTheSettingsAsTheUserAnswers) {
  using Texts = std::vector<std::string_view>;
  // the answer, a "no response" still to be told, the working copy cannot be written, the
  // decision, the working copy holds the settings afterwards, the texts shown
  const std::tuple<int, bool, bool, QuitDecision, bool, Texts> cases[] = {
      {msg::kResultYes, false, false, QuitDecision::kDestroy, true, Texts{msg::kConfirmQuit}},
      {msg::kResultNo, false, false, QuitDecision::kDestroy, false, Texts{msg::kConfirmQuit}},
      {msg::kResultCancel, true, false, QuitDecision::kKeepRunning, false,
       Texts{msg::kConfirmQuit}},
      {msg::kResultNo, true, false, QuitDecision::kDestroy, false,
       Texts{msg::kConfirmQuit, msg::kQuitNoResponse}},
      {msg::kResultYes, true, false, QuitDecision::kDestroy, true,
       Texts{msg::kConfirmQuit, msg::kQuitNoResponse}},
      {msg::kResultYes, true, true, QuitDecision::kKeepRunning, false,
       Texts{msg::kConfirmQuit, msg::kWorkingCopyNotWritten}}};
  const std::string path = WorkingCopyPath("C:\\Users\\me");
  const std::vector<std::uint8_t> old(kItemCount, 0);
  for (const auto& [answer, pending, diskFull, decision, stored, texts] : cases) {
    SCOPED_TRACE(::testing::Message() << answer << " pending " << pending << " full " << diskFull);
    fs.files[path] = old;
    log.calls.clear();
    boxes.shown.clear();
    state.noResponsePending = pending;
    fs.diskFull = diskFull;
    boxes.answers = {answer};
    EXPECT_EQ(QuitDialogue(context), decision);
    Texts shown;
    for (const MessageBoxRequest& box : boxes.shown) shown.emplace_back(box.text);
    EXPECT_EQ(shown, texts);
    EXPECT_EQ(boxes.shown.at(0).style, kQuitStyle);
    EXPECT_EQ(log.calls.front(), Question(msg::kConfirmQuit, 0x23));
    const std::vector<std::uint8_t> settings(state.settings.begin(), state.settings.end());
    EXPECT_EQ(fs.files[path], stored ? settings : old);
    ExpectBoxesOwnedBy(kMain);
  }
}

}  // namespace
}  // namespace rovant::ui
