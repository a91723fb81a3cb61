// What the start needs from the system: the version query, WOW64, the current
// directory, the application data folder and the single-instance mutex.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/named_objects.hpp"
#include "ui/command_surroundings.hpp"
#include "ui/startup.hpp"

namespace rovant::ui {

// GetVersionExA with a record of `recordSize` bytes (156 extended, 148 plain).
std::optional<PlatformVersion> QueryPlatformVersion(unsigned recordSize);
// The current directory, cut to 255 characters.
std::string CurrentDirectoryText();

// The user's application data folder through "shfolder.dll" (system folder
// only, kept loaded): `path` is empty first and on failure.
bool GetAppDataFolder(std::string& path);

// Folders on the real file system.
class Win32FolderSystem : public FolderSystem {
 public:
  std::optional<std::string> GetAppDataFolder() override;
  bool CreateFolder(const std::string& path) override;
};

// The current directory of the process.
class Win32CurrentDirectory final : public CurrentDirectory {
 public:
  bool Set(std::string_view path) override;
};

// The named mutex that keeps a second instance from running; held from the
// successful Acquire until Release or destruction.
class InstanceMutex {
 public:
  InstanceMutex() = default;
  ~InstanceMutex() { Release(); }
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;

  // Creates the mutex and waits for it with a zero time-out; an abandoned
  // mutex makes us the owner. On kOtherInstance the handle is closed again.
  InstanceCheck Acquire(std::string_view name);
  void Release();
  [[nodiscard]] bool owned() const { return owned_; }

 private:
  win32::NamedMutex mutex_;
  bool owned_ = false;
};

}  // namespace rovant::ui
