#include "ui/startup.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_ui.hpp"

namespace rovant::ui {
namespace {

using testing::CallLog;
using testing::Calls;
using testing::Join;

constexpr const char* kStartup = "C:\\Program Files\\Rovant";
constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";

// Every step of the start, recorded; answers are set by the test.
class FakeStartup final : public StartupEnvironment, testing::Recorder {
 public:
  using Recorder::Recorder;

  std::optional<PlatformVersion> QueryVersion(unsigned recordSize) override {
    log_.Add("version " + std::to_string(recordSize));
    if (versionAnswers.empty()) return std::nullopt;
    const std::optional<PlatformVersion> answer = versionAnswers.front();
    versionAnswers.pop_front();
    return answer;
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
  std::string currentDirectory = kStartup;
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

// The start from the version to the end, one row per way it can go: name, the answers to the
// version questions, the class registers, the mutex, InitInstance succeeds, a previous instance,
// the exit code, the calls.
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
  EXPECT_EQ(env.facts->instanceMutexName, InstanceMutexName(local));
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
      {true, kStartup, kAppData, kStartup, Calls{}},
      {false, kStartup, kAppData, kVek + "\\ROVANT", kFolders},
      {false, kStartup, std::nullopt, kStartup, Calls{"app data"}},
      {false, kStartup, kLong, kLong + "\\Vek\\ROVA",
       Calls{"app data", "mkdir " + kLong + "\\Vek", "mkdir " + kLong + "\\Vek\\ROVA"}},
      {false, kStartup, k259, k259, Calls{"app data", "mkdir " + k259, "mkdir " + k259}},
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

}  // namespace
}  // namespace rovant::ui
