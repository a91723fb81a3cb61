// The program's start: platform classification, the single-instance check,
// the settings folder, and the order of the steps up to the message loop.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_boxes.hpp"
#include "platform/platform_class.hpp"

namespace rovant::ui {

// Text buffers of the start-up facts, terminator included.
inline constexpr std::size_t kPathBufferSize = 260;
inline constexpr std::size_t kStartupDirectoryBufferSize = 256;

inline constexpr std::string_view kLocalInstanceMutexName = "Vek TeleSet_Mutex";
inline constexpr std::string_view kGlobalInstanceMutexName = "Global\\Vek TeleSet_Mutex";
inline constexpr std::string_view kAlreadyStarted = "ROVANT is already started";
// The information icon, and the box comes to the foreground.
inline constexpr unsigned kAlreadyStartedStyle = 0x40 | 0x10000;

constexpr std::string_view InstanceMutexName(bool localNamespace) {
  return localNamespace ? kLocalInstanceMutexName : kGlobalInstanceMutexName;
}

// `text` cut so that it fits a buffer of `bufferSize` bytes with its terminator.
std::string FitBuffer(std::string_view text, std::size_t bufferSize);

// What building the settings folder needs from the system.
class FolderSystem {
 public:
  virtual ~FolderSystem() = default;
  // The user's application data folder, or nothing when it cannot be had.
  virtual std::optional<std::string> GetAppDataFolder() = 0;
  // Creates one folder; false when it cannot (it may exist already).
  virtual bool CreateFolder(const std::string& path) = 0;
};

// The local namespace keeps the settings in the start-up directory; otherwise
// they go to "<application data>\Vek\ROVANT", both levels created as needed
// (failures ignored), or to the start-up directory when there is no
// application data folder. At most 259 characters.
std::string BuildSettingsFolder(bool localNamespace, std::string_view startupDirectory,
                                FolderSystem& folders);

// The platform's answer to the version query.
struct PlatformVersion {
  bool ntFamily = false;
  unsigned major = 0;
};

inline constexpr unsigned kExtendedVersionRecordSize = 156;
inline constexpr unsigned kPlainVersionRecordSize = 148;

enum class InstanceCheck {
  kOwner,          // this instance holds the mutex (also after it was abandoned)
  kOtherInstance,  // another instance holds it; our handle is closed again
  kCreateFailed,   // the mutex could not be created
};

// What the facts start-up has gathered, for the main window and the operations.
struct StartupFacts {
  PlatformClass platform;
  std::string startupDirectory;  // at most 255 characters
  std::string settingsFolder;    // at most 259 characters
  std::string instanceMutexName;
};

// The steps of the start, on the real system or a recording fake.
class StartupEnvironment : public FolderSystem {
 public:
  // Asks for the platform version with a version record of `recordSize` bytes.
  virtual std::optional<PlatformVersion> QueryVersion(unsigned recordSize) = 0;
  virtual bool IsRunningUnderWow64() = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual bool RegisterMainClass() = 0;
  // Creates the instance mutex under `name` and waits for it without a time-out.
  virtual InstanceCheck AcquireInstanceMutex(std::string_view name) = 0;
  virtual void ReleaseInstanceMutex() = 0;
  // Creates the main window and runs the start-up printer selection.
  virtual bool InitInstance(const StartupFacts& facts) = 0;
  virtual void InstallKeyboardHook() = 0;
  virtual void RemoveKeyboardHook() = 0;
  // Runs until the quit message; its code.
  virtual int RunMessageLoop() = 0;
  virtual void ExitCleanup() = 0;
};

// WinMain's order of steps; the exit code (0 on every early way out).
// `previousInstance`: the previous-instance argument was not null.
int RunProgram(StartupEnvironment& environment, MessageBoxes& boxes, bool previousInstance = false);

}  // namespace rovant::ui
