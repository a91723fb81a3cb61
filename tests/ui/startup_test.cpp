#include "ui/startup.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_ui.hpp"

namespace rovant::ui {
namespace {

using testing::CallLog;
using Calls = std::vector<std::string>;

constexpr const char* kStartup = "C:\\Program Files\\Rovant";
constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";

// Every step of the start, recorded; answers are set by the test.
class FakeStartup final : public StartupEnvironment {
 public:
  explicit FakeStartup(CallLog& log) : log_(log) {}

  std::optional<PlatformVersion> QueryVersion(unsigned recordSize) override {
    log_.Add("version " + std::to_string(recordSize));
    if (versionAnswers.empty()) return std::nullopt;
    const std::optional<PlatformVersion> answer = versionAnswers.front();
    versionAnswers.pop_front();
    return answer;
  }
  bool IsRunningUnderWow64() override {
    log_.Add("wow64");
    return wow64;
  }
  std::string CurrentDirectory() override {
    log_.Add("current directory");
    return currentDirectory;
  }
  bool RegisterMainClass() override {
    log_.Add("register class");
    return registers;
  }
  InstanceCheck AcquireInstanceMutex(std::string_view name) override {
    log_.Add("mutex " + std::string(name));
    return instance;
  }
  void ReleaseInstanceMutex() override { log_.Add("mutex release"); }
  bool InitInstance(const StartupFacts& given) override {
    log_.Add("init instance");
    facts = given;
    return initialises;
  }
  void InstallKeyboardHook() override { log_.Add("hook install"); }
  void RemoveKeyboardHook() override { log_.Add("hook remove"); }
  int RunMessageLoop() override {
    log_.Add("loop");
    return quitCode;
  }
  void ExitCleanup() override { log_.Add("cleanup"); }
  std::optional<std::string> GetAppDataFolder() override {
    log_.Add("app data");
    return appData;
  }
  bool CreateFolder(const std::string& path) override {
    log_.Add("mkdir " + path);
    return !existing.contains(path);
  }

  std::deque<std::optional<PlatformVersion>> versionAnswers{PlatformVersion{true, 6}};
  bool wow64 = false;
  std::string currentDirectory = kStartup;
  bool registers = true;
  InstanceCheck instance = InstanceCheck::kOwner;
  bool initialises = true;
  int quitCode = 0;
  std::optional<std::string> appData = std::string(kAppData);
  std::set<std::string> existing;
  std::optional<StartupFacts> facts;

 private:
  CallLog& log_;
};

class Startup : public ::testing::Test {
 protected:
  int Run(bool previousInstance = false) { return RunProgram(env, boxes, previousInstance); }

  CallLog log;
  FakeStartup env{log};
  testing::FakeMessageBoxes boxes{log};
};

TEST(InstanceMutexName, FollowsTheNamespace) {
  EXPECT_EQ(InstanceMutexName(true), "Vek TeleSet_Mutex");
  EXPECT_EQ(InstanceMutexName(false), "Global\\Vek TeleSet_Mutex");
}

TEST(FitBuffer, KeepsRoomForTheTerminator) {
  EXPECT_EQ(FitBuffer("abc", 4), "abc");
  EXPECT_EQ(FitBuffer("abcd", 4), "abc");
  EXPECT_EQ(FitBuffer("abcd", 1), "");
  EXPECT_EQ(FitBuffer("abcd", 0), "");
}

TEST_F(Startup, ANormalRunGoesThroughEveryStepInOrder) {
  env.quitCode = 42;
  EXPECT_EQ(Run(), 42);
  const std::string vek = std::string(kAppData) + "\\Vek";
  EXPECT_EQ(log.calls, (Calls{"version 156", "current directory", "register class",
                              "mutex Global\\Vek TeleSet_Mutex", "app data", "mkdir " + vek,
                              "mkdir " + vek + "\\ROVANT", "init instance", "hook install", "loop",
                              "hook remove", "cleanup", "mutex release"}));
  ASSERT_TRUE(env.facts);
  EXPECT_TRUE(env.facts->platform.ntFamily);
  EXPECT_FALSE(env.facts->platform.localNamespace);
  EXPECT_EQ(env.facts->startupDirectory, kStartup);
  EXPECT_EQ(env.facts->settingsFolder, vek + "\\ROVANT");
  EXPECT_EQ(env.facts->instanceMutexName, "Global\\Vek TeleSet_Mutex");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Startup, TheVersionIsAskedAgainWithThePlainRecord) {
  env.versionAnswers = {std::nullopt, PlatformVersion{false, 4}};
  EXPECT_EQ(Run(), 0);
  ASSERT_GE(log.calls.size(), 2u);
  EXPECT_EQ(log.calls[0], "version 156");
  EXPECT_EQ(log.calls[1], "version 148");
  ASSERT_TRUE(env.facts);
  EXPECT_FALSE(env.facts->platform.ntFamily);
  EXPECT_TRUE(env.facts->platform.localNamespace);
}

TEST_F(Startup, AVersionRefusedTwiceEndsAtOnce) {
  env.versionAnswers = {std::nullopt, std::nullopt};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log.calls, (Calls{"version 156", "version 148"}));
}

struct PlatformCase {
  const char* name;
  PlatformVersion version;
  bool wow64;
  bool asksWow64;
  bool local;
};

class Platforms : public Startup, public ::testing::WithParamInterface<PlatformCase> {};

TEST_P(Platforms, ChooseTheNamespaceAndTheSettingsFolder) {
  const PlatformCase& c = GetParam();
  env.versionAnswers = {c.version};
  env.wow64 = c.wow64;
  Run();
  ASSERT_TRUE(env.facts);
  EXPECT_EQ(env.facts->platform.localNamespace, c.local);
  EXPECT_EQ(env.facts->instanceMutexName, InstanceMutexName(c.local));
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "wow64"), c.asksWow64 ? 1 : 0);
  if (c.local) {
    EXPECT_EQ(env.facts->settingsFolder, kStartup);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "app data"), 0);
  } else {
    EXPECT_EQ(env.facts->settingsFolder, std::string(kAppData) + "\\Vek\\ROVANT");
  }
}

const PlatformCase kPlatforms[] = {
    {"Windows98", {false, 4}, false, false, true}, {"Nt4", {true, 4}, false, false, true},
    {"Xp32", {true, 5}, false, true, true},        {"Xp64", {true, 5}, true, true, false},
    {"Vista", {true, 6}, false, false, false},     {"Windows10", {true, 10}, true, false, false},
};
INSTANTIATE_TEST_SUITE_P(Startup, Platforms, ::testing::ValuesIn(kPlatforms),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Startup, AFailedClassRegistrationCleansUpAndEnds) {
  env.registers = false;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log.calls, (Calls{"version 156", "current directory", "register class", "cleanup"}));
}

TEST_F(Startup, WithAPreviousInstanceTheClassIsNotRegisteredAgain) {
  env.registers = false;
  env.quitCode = 3;
  EXPECT_EQ(Run(true), 3);
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "register class"), 0);
}

TEST_F(Startup, AMutexThatCannotBeCreatedEndsSilently) {
  env.instance = InstanceCheck::kCreateFailed;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log.calls, (Calls{"version 156", "current directory", "register class",
                              "mutex Global\\Vek TeleSet_Mutex", "cleanup"}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Startup, ASecondInstanceSaysSoAndEnds) {
  env.instance = InstanceCheck::kOtherInstance;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log.calls, (Calls{"version 156", "current directory", "register class",
                              "mutex Global\\Vek TeleSet_Mutex",
                              "box 65600/0: ROVANT is already started", "cleanup"}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].owner, kNoWindow);
  EXPECT_EQ(boxes.shown[0].style, 0x40u | 0x10000u);  // information icon, foreground
}

TEST_F(Startup, AFailedInitInstanceReleasesTheMutexAndEnds) {
  env.initialises = false;
  env.quitCode = 9;
  EXPECT_EQ(Run(), 0);
  ASSERT_GE(log.calls.size(), 3u);
  const Calls tail(log.calls.end() - 3, log.calls.end());
  EXPECT_EQ(tail, (Calls{"init instance", "mutex release", "cleanup"}));
}

TEST_F(Startup, TheStartupDirectoryKeeps255Characters) {
  env.versionAnswers = {PlatformVersion{true, 4}};
  env.currentDirectory = std::string(300, 's');
  Run();
  ASSERT_TRUE(env.facts);
  EXPECT_EQ(env.facts->startupDirectory, std::string(255, 's'));
  EXPECT_EQ(env.facts->settingsFolder, std::string(255, 's'));
}

// The settings folder on its own.
class SettingsFolder : public ::testing::Test {
 protected:
  CallLog log;
  FakeStartup folders{log};
};

TEST_F(SettingsFolder, LocalNamespaceUsesTheStartupDirectory) {
  EXPECT_EQ(BuildSettingsFolder(true, kStartup, folders), kStartup);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(SettingsFolder, GlobalNamespaceCreatesBothLevels) {
  const std::string vek = std::string(kAppData) + "\\Vek";
  EXPECT_EQ(BuildSettingsFolder(false, kStartup, folders), vek + "\\ROVANT");
  EXPECT_EQ(log.calls, (Calls{"app data", "mkdir " + vek, "mkdir " + vek + "\\ROVANT"}));
}

TEST_F(SettingsFolder, FoldersThatExistAlreadyAreFine) {
  const std::string vek = std::string(kAppData) + "\\Vek";
  folders.existing = {vek, vek + "\\ROVANT"};
  EXPECT_EQ(BuildSettingsFolder(false, kStartup, folders), vek + "\\ROVANT");
}

TEST_F(SettingsFolder, NoApplicationDataFolderFallsBackToTheStartupDirectory) {
  folders.appData = std::nullopt;
  EXPECT_EQ(BuildSettingsFolder(false, kStartup, folders), kStartup);
  EXPECT_EQ(log.calls, Calls{"app data"});
}

TEST_F(SettingsFolder, ALongPathIsCutAt259Characters) {
  folders.appData = std::string(250, 'a');
  const std::string folder = BuildSettingsFolder(false, kStartup, folders);
  EXPECT_EQ(folder.size(), 259u);
  EXPECT_EQ(folder, std::string(250, 'a') + "\\Vek\\ROVA");
  EXPECT_EQ(log.calls,
            (Calls{"app data", "mkdir " + std::string(250, 'a') + "\\Vek", "mkdir " + folder}));
}

TEST_F(SettingsFolder, AnApplicationDataPathAtTheLimitStaysWithinIt) {
  folders.appData = std::string(259, 'a');
  EXPECT_EQ(BuildSettingsFolder(false, kStartup, folders), std::string(259, 'a'));
}

TEST_F(SettingsFolder, ALongStartupDirectoryIsCutToo) {
  folders.appData = std::nullopt;
  EXPECT_EQ(BuildSettingsFolder(false, std::string(400, 'x'), folders), std::string(259, 'x'));
  EXPECT_EQ(BuildSettingsFolder(true, std::string(400, 'x'), folders), std::string(259, 'x'));
}

}  // namespace
}  // namespace rovant::ui
