// The main window's commands, the order of the start and the KeyboardHook's Tab rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/ui/ui_fakes.hpp"
#include "texts/command_texts.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"
#include "ui/commands.hpp"
#include "ui/startup.hpp"
#include "ui/tab_key_rules.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::CallLog;
using testing::Calls;
using testing::Join;
using testing::Op;

constexpr WindowRef kMain = 100;
constexpr WindowRef kPanel = 200;
constexpr const char* kStartup = "C:\\Apps\\Rovant";

constexpr FocusDecision kRestore{false, FocusTarget::kSaved};
constexpr FocusDecision kRestoreValid{false, FocusTarget::kValidSaved};
constexpr FocusDecision kForeground{true, FocusTarget::kSaved};
constexpr FocusDecision kForegroundValid{true, FocusTarget::kValidSaved};

// OK/Cancel with the question icon; Yes/No/Cancel for the quit question.
std::string Question(std::string_view text, unsigned style = 0x21) { return Box(0, text, style); }

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

// The printer commands in every form: name, command, the boxes' owner, the question, the calls
// after it, and the focus after the operation, after Cancel and after a failed readiness check.
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
  EXPECT_EQ(log.calls, Join({asked, {operation.front(), Box(187, msg::kNoResponse)}}));
  ExpectBoxesOwnedBy(owner);

  // A refused first operation has told the user itself: nothing follows it.
  log.calls.clear();
  ops.readResults = {-1};
  ops.writeResults = {-1};
  EXPECT_EQ(run(context), done);
  EXPECT_EQ(log.calls, Join({asked, {operation.front()}}));
}

INSTANTIATE_TEST_SUITE_P(Commands, EachPrinterCommand, ::testing::ValuesIn(kPrinterCommands),
                         [](const auto& p) { return std::string(std::get<0>(p.param)); });

// Initializing: a read that fails after the factory default is told once, after it.
TEST_F(Commands, AReadFailingAfterTheDefaultIsReported) {
  ops.readResults = {0};
  InitializeMenu(context);
  EXPECT_EQ(log.calls,
            (Calls{"ready check", Question(msg::kConfirmInitialize), Op("write", 2, kMain),
                   "sleep 2000", Op("read", 3, kMain), Box(187, msg::kNoResponse)}));
}

// The commands without the printer, whatever its readiness: each call and the focus after it.
TEST_F(Commands, PlainCommandsNeedNoPrinter) {
  const std::tuple<Command, Calls, FocusDecision> cases[] = {
      {FileReadCommand, Calls{"open setting file"}, kRestoreValid},
      {SaveCommand, Calls{"save setting file"}, kRestore},
      {HelpCommand, Calls{"cd C:\\Apps\\Rovant", "help show @100 C:\\Apps\\Rovant\\ROVANT.CHM"},
       kForeground},
      {VersionCommand, Calls{Box(160, msg::kVersion)}, kRestore}};
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

// Yes stores the working copy first (how it is stored, and what is told when it cannot be, is
// the file commands').
TEST_F(Commands, QuitKeepsTheSettingsAsTheUserAnswers) {
  const std::string ask = Question(msg::kConfirmQuit, 0x23);
  const std::string told = Box(187, msg::kQuitNoResponse);
  const std::string store = "store working copy";
  // the answer, a "no response" to be told, the working copy is stored, the decision, the calls
  const std::tuple<int, bool, bool, QuitDecision, Calls> cases[] = {
      {msg::kResultYes, false, true, QuitDecision::kDestroy, Calls{ask, store}},
      {msg::kResultNo, false, true, QuitDecision::kDestroy, Calls{ask}},
      {msg::kResultCancel, true, true, QuitDecision::kKeepRunning, Calls{ask}},
      {msg::kResultNo, true, true, QuitDecision::kDestroy, Calls{ask, told}},
      {msg::kResultYes, true, true, QuitDecision::kDestroy, Calls{ask, store, told}},
      {msg::kResultYes, true, false, QuitDecision::kKeepRunning, Calls{ask, store}}};
  for (const auto& [answer, pending, stores, decision, calls] : cases) {
    SCOPED_TRACE(::testing::Message() << answer << " pending " << pending << " stores " << stores);
    log.calls.clear();
    state.noResponsePending = pending;
    ops.stores = stores;
    boxes.answers = {answer};
    EXPECT_EQ(QuitDialogue(context), decision);
    EXPECT_EQ(log.calls, calls);
  }
  ExpectBoxesOwnedBy(kMain);
}

constexpr const char* kProgramFolder = "C:\\Program Files\\Rovant";
constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";

// Every step of the start, recorded; answers are set by the test.
class FakeStartup final : public StartupEnvironment, testing::Recorder {
 public:
  using Recorder::Recorder;

  std::optional<PlatformVersion> QueryVersion(unsigned recordSize) override {
    return Logged("version " + std::to_string(recordSize),
                  testing::Next(versionAnswers, std::optional<PlatformVersion>{}));
  }
  bool IsRunningUnderWow64() override { return Logged("wow64", wow64); }
  std::string CurrentDirectory() override { return Logged("current directory", currentDirectory); }
  bool RegisterMainClass() override { return Logged("register class", registers); }
  InstanceCheck AcquireInstanceMutex(std::string_view name) override {
    return Logged("mutex " + std::string(name), instance);
  }
  void ReleaseInstanceMutex() override { log_.Add("mutex release"); }
  bool InitInstance(const StartupFacts& given) override {
    facts = given;
    return Logged("init instance", initialises);
  }
  void InstallKeyboardHook() override { log_.Add("hook install"); }
  void RemoveKeyboardHook() override { log_.Add("hook remove"); }
  int RunMessageLoop() override { return Logged("loop", quitCode); }
  void ExitCleanup() override { log_.Add("cleanup"); }
  std::optional<std::string> GetAppDataFolder() override { return Logged("app data", appData); }
  bool CreateFolder(const std::string& path) override { return Logged("mkdir " + path, true); }

  std::deque<std::optional<PlatformVersion>> versionAnswers{PlatformVersion{true, 6}};
  bool wow64 = false;
  std::string currentDirectory = kProgramFolder;
  bool registers = true;
  InstanceCheck instance = InstanceCheck::kOwner;
  bool initialises = true;
  int quitCode = 0;
  std::optional<std::string> appData = std::string(kAppData);
  std::optional<StartupFacts> facts;
};

class Startup : public ::testing::Test {
 protected:
  int Run(bool previousInstance = false) { return RunProgram(env, boxes, previousInstance); }

  CallLog log;
  FakeStartup env{log};
  testing::FakeMessageBoxes boxes{log};
};

const std::string kVek = std::string(kAppData) + "\\Vek";
const std::string kMutex = "mutex " + std::string(kGlobalInstanceMutexName);
const Calls kToTheMutex{"version 156", "current directory", "register class", kMutex};

const Calls kFolders{"app data", "mkdir " + kVek, "mkdir " + kVek + "\\ROVANT"};
const Calls kRunAndEnd{"init instance", "hook install", "loop",
                       "hook remove",   "cleanup",      "mutex release"};

using Versions = std::deque<std::optional<PlatformVersion>>;
const Versions kNt6{PlatformVersion{true, 6}};

// One row per way the start can go: name, the version answers, the class registers, the mutex,
// InitInstance succeeds, a previous instance, the exit code, the calls.
using PathCase = std::tuple<const char*, Versions, bool, InstanceCheck, bool, bool, int, Calls>;

class Paths : public Startup, public ::testing::WithParamInterface<PathCase> {};

TEST_P(Paths, EveryStepInOrder) {
  const auto& [name, versions, registers, instance, initialises, previous, code, calls] =
      GetParam();
  env.quitCode = 42;
  env.versionAnswers = versions;
  env.registers = registers;
  env.instance = instance;
  env.initialises = initialises;
  EXPECT_EQ(Run(previous), code);
  EXPECT_EQ(log.calls, calls);
}

constexpr InstanceCheck kOwner = InstanceCheck::kOwner;

INSTANTIATE_TEST_SUITE_P(
    Startup, Paths,
    ::testing::Values(
        PathCase{"Normal", kNt6, true, kOwner, true, false, 42,
                 Join({kToTheMutex, kFolders, kRunAndEnd})},
        PathCase{"PreviousInstanceRegistersNothing", kNt6, false, kOwner, true, true, 42,
                 Join({Calls{"version 156", "current directory", kMutex}, kFolders, kRunAndEnd})},
        PathCase{"VersionAskedAgainWithThePlainRecord",
                 Versions{std::nullopt, PlatformVersion{false, 4}}, true, kOwner, true, false, 42,
                 Join({Calls{"version 156", "version 148", "current directory", "register class",
                             "mutex " + std::string(kLocalInstanceMutexName)},
                       kRunAndEnd})},
        PathCase{"VersionRefusedTwice", Versions{std::nullopt, std::nullopt}, true, kOwner, true,
                 false, 0, Calls{"version 156", "version 148"}},
        PathCase{"ClassNotRegistered", kNt6, false, kOwner, true, false, 0,
                 Calls{"version 156", "current directory", "register class", "cleanup"}},
        PathCase{"MutexNotCreated", kNt6, true, InstanceCheck::kCreateFailed, true, false, 0,
                 Join({kToTheMutex, Calls{"cleanup"}})},
        PathCase{
            "SecondInstance", kNt6, true, InstanceCheck::kOtherInstance, true, false, 0,
            Join({kToTheMutex, Calls{"box 65600/0: " + std::string(kAlreadyStarted), "cleanup"}})},
        PathCase{
            "InitInstanceFails", kNt6, true, kOwner, false, false, 0,
            Join({kToTheMutex, kFolders, Calls{"init instance", "mutex release", "cleanup"}})}),
    [](const auto& p) { return std::string(std::get<0>(p.param)); });

// name, version, running under WOW64, WOW64 is asked, the local namespace and folder
using PlatformCase = std::tuple<const char*, PlatformVersion, bool, bool, bool>;

class Platforms : public Startup, public ::testing::WithParamInterface<PlatformCase> {};

TEST_P(Platforms, ChooseTheNamespaceAndTheFolders) {
  const auto& [name, version, wow64, asksWow64, local] = GetParam();
  env.versionAnswers = {version};
  env.wow64 = wow64;
  env.currentDirectory = std::string(300, 's');
  Run();
  ASSERT_TRUE(env.facts);
  EXPECT_EQ(env.facts->platform.ntFamily, version.ntFamily);
  EXPECT_EQ(env.facts->platform.localNamespace, local);
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "wow64"), asksWow64 ? 1 : 0);
  EXPECT_EQ(env.facts->startupDirectory, std::string(255, 's'));
  EXPECT_EQ(env.facts->settingsFolder, local ? std::string(255, 's') : kVek + "\\ROVANT");
  EXPECT_TRUE(boxes.shown.empty());
}

const PlatformCase kPlatforms[] = {
    {"Windows98", {false, 4}, false, false, true}, {"Nt4", {true, 4}, false, false, true},
    {"Xp32", {true, 5}, false, true, true},        {"Xp64", {true, 5}, true, true, false},
    {"Vista", {true, 6}, false, false, false},     {"Windows10", {true, 10}, true, false, false}};
INSTANTIATE_TEST_SUITE_P(Startup, Platforms, ::testing::ValuesIn(kPlatforms),
                         [](const auto& p) { return std::string(std::get<0>(p.param)); });

TEST(SettingsFolder, IsMadeLevelByLevelAndCutToItsBuffer) {
  const std::string kLong(250, 'a');
  const std::string k259(259, 'a');
  const std::string kLongStartup(400, 'x');
  // local, startup folder, the application data folder, the settings folder, the calls
  const std::tuple<bool, std::string, std::optional<std::string>, std::string, Calls> cases[] = {
      {false, kProgramFolder, std::nullopt, kProgramFolder, Calls{"app data"}},
      {false, kProgramFolder, kLong, kLong + "\\Vek\\ROVA",
       Calls{"app data", "mkdir " + kLong + "\\Vek", "mkdir " + kLong + "\\Vek\\ROVA"}},
      {false, kProgramFolder, k259, k259, Calls{"app data", "mkdir " + k259, "mkdir " + k259}},
      {true, kLongStartup, kAppData, std::string(259, 'x'), Calls{}},
      {false, kLongStartup, std::nullopt, std::string(259, 'x'), Calls{"app data"}}};
  for (const auto& [local, startup, appData, folder, calls] : cases) {
    CallLog log;
    FakeStartup folders{log};
    folders.appData = appData;
    EXPECT_EQ(BuildSettingsFolder(local, startup, folders), folder) << startup;
    EXPECT_EQ(log.calls, calls);
  }
}

// The Tab key, one row per situation.

constexpr TabKeyEvent Tab(bool ctrl = false, bool shift = false, bool released = false) {
  return TabKeyEvent{0, true, released, ctrl, shift};
}
constexpr TabKeyAction Consume(TabFocusTarget target) {
  return TabKeyAction{HookVerdict::kConsume, false, kMenu1Page, target};
}
constexpr TabKeyAction Switch(PageIndex tab) {
  return TabKeyAction{HookVerdict::kConsume, true, tab, TabFocusTarget::kFirstControl};
}
constexpr TabKeyAction kLetThrough{HookVerdict::kLetThrough};
constexpr TabKeyAction kCallNext{HookVerdict::kCallNext};

using enum FocusRole;
using T = TabFocusTarget;

// name, event, the control with the focus, the current tab, the action
const std::tuple<const char*, TabKeyEvent, FocusRole, std::size_t, TabKeyAction> kRows[] = {
    // 1. Negative code or another key: the next hook decides.
    {"NegativeCode", TabKeyEvent{-1, true, false, true, false}, kTabControl, 0, kCallNext},
    {"OtherKey", TabKeyEvent{0, false, false, true, true}, kTabControl, 0, kCallNext},
    {"OtherKeyReleased", TabKeyEvent{0, false, true, false, false}, kOther, 0, kCallNext},
    // 2. Tab released: through, whatever is held.
    {"Released", Tab(true, false, true), kTabControl, 0, kLetThrough},
    {"ReleasedOnLast", Tab(false, false, true), kLastControl, 0, kLetThrough},
    // 3a. Ctrl: next or previous tab, wrapping.
    {"CtrlTabFromMenu1", Tab(true), kOther, 0, Switch(kMenu2Page)},
    {"CtrlTabFromAdjust", Tab(true), kReadButton, 3, Switch(kConfigPage)},
    {"CtrlTabWrapsFromConfig", Tab(true), kFirstControl, 4, Switch(kMenu1Page)},
    {"CtrlShiftTabWrapsFromMenu1", Tab(true, true), kTabControl, 0, Switch(kConfigPage)},
    {"CtrlShiftTabFromHardware", Tab(true, true), kLastControl, 2, Switch(kMenu2Page)},
    // 3b. Shift alone.
    {"ShiftTabOnTabsToFinish", Tab(false, true), kTabControl, 2, Consume(T::kFinishButton)},
    {"ShiftTabOnFirstToTabs", Tab(false, true), kFirstControl, 1, Consume(T::kTabControl)},
    {"ShiftTabOnReadToLast", Tab(false, true), kReadButton, 2, Consume(T::kLastControl)},
    {"ShiftTabOnLastPasses", Tab(false, true), kLastControl, 0, kLetThrough},
    {"ShiftTabElsewherePasses", Tab(false, true), kOther, 0, kLetThrough},
    // 3c. Tab alone.
    {"TabOnTabsToFirst", Tab(), kTabControl, 4, Consume(T::kFirstControl)},
    {"TabOnLastToRead", Tab(), kLastControl, 2, Consume(T::kReadButton)},
    {"TabOnFirstPasses", Tab(), kFirstControl, 0, kLetThrough},
    {"TabOnReadPasses", Tab(), kReadButton, 0, kLetThrough},
    {"TabElsewherePasses", Tab(), kOther, 3, kLetThrough}};

TEST(TabKeyRules, Decide) {
  for (const auto& [name, event, focus, tab, expected] : kRows)
    EXPECT_EQ(DecideTabKey(event, focus, tab), expected) << name;
}

}  // namespace
}  // namespace rovant::ui
