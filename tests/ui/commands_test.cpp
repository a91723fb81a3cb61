#include "ui/commands.hpp"

#include <gtest/gtest.h>

#include <deque>
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
std::string Read(int mode, WindowRef owner) {
  return "read " + std::to_string(mode) + " @" + std::to_string(owner);
}
std::string Write(int mode, WindowRef owner) {
  return "write " + std::to_string(mode) + " @" + std::to_string(owner);
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

// The printer commands, each in every form it has.
struct PrinterCommand {
  const char* name;
  Command run;
  WindowRef owner;
  std::string_view question;
  Calls operation;          // what an accepted command calls after the confirmation
  FocusDecision done;       // focus after the operation
  FocusDecision cancelled;  // focus after Cancel at the confirmation
  FocusDecision notReady;   // focus after a failed readiness check
};

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
    {"ReadMenu", ReadMenu, kMain, msg::kConfirmRead, Calls{Read(1, kMain)}, kForegroundValid,
     kRestore, kRestore},
    {"ReadButton", ReadButton, kPanel, msg::kConfirmRead, Calls{Read(1, kPanel)}, kForeground,
     kForeground, kForeground},
    {"TransferMenu", TransferMenu, kMain, msg::kConfirmTransfer, Calls{Write(1, kMain)},
     kForeground, kRestore, kRestore},
    {"TransferButton", TransferButton, kPanel, msg::kConfirmTransfer, Calls{Write(1, kPanel)},
     kForeground, kForeground, kForeground},
    {"InitializeMenu", InitializeMenu, kMain, msg::kConfirmInitialize,
     Calls{Write(2, kMain), "sleep 2000", Read(3, kMain)}, kRestoreValid, kRestoreValid, kRestore},
    {"InitializeButton", InitializeButton, kPanel, msg::kConfirmInitialize,
     Calls{Write(2, kPanel), "sleep 2000", Read(3, kPanel)}, kRestore, kRestore, kForeground},
    {"ListPrintMenu", ListPrintCommand, kMain, msg::kConfirmListPrint, Calls{Write(8, kMain)},
     kRestore, kRestore, kRestore},
};

class EachPrinterCommand : public Commands, public ::testing::WithParamInterface<PrinterCommand> {};

// Accepted, then answered with anything but OK, then without a ready printer, then with a
// silent one.
TEST_P(EachPrinterCommand, ChecksConfirmsRunsAndRestoresTheFocus) {
  const PrinterCommand& c = GetParam();
  const Calls asked{"ready check", Question(c.question)};
  EXPECT_EQ(c.run(context), c.done);
  EXPECT_EQ(log.calls, Join({asked, c.operation}));
  for (const int answer : {int{msg::kResultCancel}, 0, int{msg::kResultNo}}) {
    log.calls.clear();
    boxes.answers = {answer};
    EXPECT_EQ(c.run(context), c.cancelled);
    EXPECT_EQ(log.calls, asked) << answer;
  }
  log.calls.clear();
  ops.ready = 16;
  EXPECT_EQ(c.run(context), c.notReady);
  EXPECT_EQ(log.calls, Calls{"ready check"});

  // The first operation fails, so nothing after it runs but the message.
  log.calls.clear();
  ops.ready = 0;
  ops.readResults = {0};
  ops.writeResults = {0};
  EXPECT_EQ(c.run(context), c.done);
  EXPECT_EQ(log.calls, Join({asked, {c.operation.front(), ErrorBox(msg::kNoResponse)}}));
  ExpectBoxesOwnedBy(c.owner);
}

INSTANTIATE_TEST_SUITE_P(Commands, EachPrinterCommand, ::testing::ValuesIn(kPrinterCommands),
                         [](const auto& p) { return std::string(p.param.name); });

using Results = std::deque<int>;

// Operations that fail after the first one, or that refuse (and have reported themselves): the
// command ends with at most one message.
TEST_F(Commands, LaterFailuresEndTheCommand) {
  const struct {
    Command run;
    Results writes, reads;
    Calls after;  // the calls after the confirmation
  } cases[] = {
      {InitializeMenu, Results{1}, Results{0},
       Calls{Write(2, kMain), "sleep 2000", Read(3, kMain), ErrorBox(msg::kNoResponse)}},
      {InitializeMenu, Results{-1}, Results{}, Calls{Write(2, kMain)}},
      {TransferMenu, Results{-1}, Results{}, Calls{Write(1, kMain)}},
  };
  for (const auto& c : cases) {
    log.calls.clear();
    ops.writeResults = c.writes;
    ops.readResults = c.reads;
    c.run(context);
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(Calls(log.calls.begin() + 2, log.calls.end()), c.after);
  }
}

// The commands without the printer, whatever its readiness: each call and the focus after it.
TEST_F(Commands, PlainCommandsNeedNoPrinter) {
  const struct {
    Command run;
    Calls calls;
    FocusDecision focus;
  } cases[] = {
      {FileReadCommand, Calls{"open setting file"}, kRestoreValid},
      {SaveCommand, Calls{"save setting file"}, kRestore},
      {HelpCommand, Calls{"cd C:\\Apps\\Rovant", "help show @100 C:\\Apps\\Rovant\\ROVANT.CHM"},
       kForeground},
      {VersionCommand, Calls{ErrorBox(msg::kVersion, 160)}, kRestore},
  };
  for (const auto& c : cases) {
    for (const int ready : {0, 1}) {
      log.calls.clear();
      ops.ready = ready;
      EXPECT_EQ(c.run(context), c.focus);
      EXPECT_EQ(log.calls, c.calls);
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
  const struct {
    int answer;
    bool pending;   // a "no response" is still to be told
    bool diskFull;  // the working copy cannot be written
    QuitDecision decision;
    bool stored;  // the working copy holds the settings afterwards
    Texts boxes;  // the texts shown
  } cases[] = {
      {msg::kResultYes, false, false, QuitDecision::kDestroy, true, Texts{msg::kConfirmQuit}},
      {msg::kResultNo, false, false, QuitDecision::kDestroy, false, Texts{msg::kConfirmQuit}},
      {msg::kResultCancel, true, false, QuitDecision::kKeepRunning, false,
       Texts{msg::kConfirmQuit}},
      {msg::kResultNo, true, false, QuitDecision::kDestroy, false,
       Texts{msg::kConfirmQuit, msg::kQuitNoResponse}},
      {msg::kResultYes, true, false, QuitDecision::kDestroy, true,
       Texts{msg::kConfirmQuit, msg::kQuitNoResponse}},
      {msg::kResultYes, true, true, QuitDecision::kKeepRunning, false,
       Texts{msg::kConfirmQuit, msg::kWorkingCopyNotWritten}},
  };
  const std::string path = WorkingCopyPath("C:\\Users\\me");
  const std::vector<std::uint8_t> old(kItemCount, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.answer << " pending " << c.pending << " full " << c.diskFull);
    fs.files[path] = old;
    log.calls.clear();
    boxes.shown.clear();
    state.noResponsePending = c.pending;
    fs.diskFull = c.diskFull;
    boxes.answers = {c.answer};
    EXPECT_EQ(QuitDialogue(context), c.decision);
    Texts shown;
    for (const MessageBoxRequest& box : boxes.shown) shown.emplace_back(box.text);
    EXPECT_EQ(shown, c.boxes);
    EXPECT_EQ(boxes.shown.at(0).style, kQuitStyle);
    EXPECT_EQ(log.calls.front(), Question(msg::kConfirmQuit, 0x23));
    const std::vector<std::uint8_t> settings(state.settings.begin(), state.settings.end());
    EXPECT_EQ(fs.files[path], c.stored ? settings : old);
    ExpectBoxesOwnedBy(kMain);
  }
}

}  // namespace
}  // namespace rovant::ui
