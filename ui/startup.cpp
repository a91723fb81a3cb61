#include "ui/startup.hpp"

#include "protocol/show_message.hpp"
#include "texts/messages.hpp"

namespace rovant::ui {

std::string FitBuffer(std::string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  return std::string(text.substr(0, bufferSize - 1));
}

std::string BuildSettingsFolder(bool localNamespace, std::string_view startupDirectory,
                                FolderSystem& folders) {
  if (localNamespace) return FitBuffer(startupDirectory, kPathBufferSize);
  const std::optional<std::string> appData = folders.GetAppDataFolder();
  if (!appData) return FitBuffer(startupDirectory, kPathBufferSize);
  std::string folder = FitBuffer(*appData + "\\Vek", kPathBufferSize);
  folders.CreateFolder(folder);
  folder = FitBuffer(folder + "\\ROVANT", kPathBufferSize);
  folders.CreateFolder(folder);
  return folder;
}

namespace {

std::optional<PlatformVersion> AskVersion(StartupEnvironment& env) {
  if (auto version = env.QueryVersion(kExtendedVersionRecordSize)) return version;
  return env.QueryVersion(kPlainVersionRecordSize);
}

}  // namespace

int RunProgram(StartupEnvironment& env, MessageBoxes& boxes, bool previousInstance) {
  const std::optional<PlatformVersion> version = AskVersion(env);
  if (!version) return 0;

  StartupFacts facts;
  // WOW64 only matters on NT 5, so it is asked only there.
  const bool wow64 = version->ntFamily && version->major == 5 && env.IsRunningUnderWow64();
  facts.platform = ClassifyPlatform(version->ntFamily, version->major, wow64);
  facts.startupDirectory = FitBuffer(env.CurrentDirectory(), kStartupDirectoryBufferSize);

  if (!previousInstance && !env.RegisterMainClass()) {
    env.ExitCleanup();
    return 0;
  }

  facts.instanceMutexName = std::string(InstanceMutexName(facts.platform.localNamespace));
  switch (env.AcquireInstanceMutex(facts.instanceMutexName)) {
    case InstanceCheck::kOwner:
      break;
    case InstanceCheck::kCreateFailed:
      env.ExitCleanup();
      return 0;
    case InstanceCheck::kOtherInstance:
      ShowPlainMessage(boxes, kNoWindow, kAlreadyStarted, kAlreadyStartedStyle);
      env.ExitCleanup();
      return 0;
  }

  facts.settingsFolder =
      BuildSettingsFolder(facts.platform.localNamespace, facts.startupDirectory, env);

  if (!env.InitInstance(facts)) {
    env.ReleaseInstanceMutex();
    env.ExitCleanup();
    return 0;
  }

  env.InstallKeyboardHook();
  const int code = env.RunMessageLoop();
  env.RemoveKeyboardHook();
  env.ExitCleanup();
  env.ReleaseInstanceMutex();
  return code;
}

}  // namespace rovant::ui
