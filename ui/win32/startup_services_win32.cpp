#include "ui/win32/startup_services_win32.hpp"

#include <shlobj.h>

#include <array>

#include "platform/win32/proc_address.hpp"
#include "platform/win32/system.hpp"

namespace rovant::ui {

std::optional<PlatformVersion> QueryPlatformVersion(unsigned recordSize) {
  OSVERSIONINFOEXA info{};
  if (recordSize > sizeof(info)) return std::nullopt;
  info.dwOSVersionInfoSize = recordSize;
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return std::nullopt;
  return PlatformVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT,
                         static_cast<unsigned>(info.dwMajorVersion)};
}

std::string CurrentDirectoryText() {
  std::array<char, kPathBufferSize> folder{};
  const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) return {};  // too long for any buffer of ours
  return FitBuffer(std::string_view(folder.data(), length), kStartupDirectoryBufferSize);
}

bool GetAppDataFolder(std::string& path) {
  path.clear();
  // Loaded once and kept for the run.
  static const win32::UniqueModule shfolder = win32::LoadSystemLibrary("shfolder.dll");
  const auto folderPath =
      win32::ProcAddress<decltype(::SHGetFolderPathA)>(shfolder.get(), "SHGetFolderPathA");
  if (folderPath == nullptr) return false;
  constexpr int kAppDataFolderId = 26;  // CSIDL_APPDATA
  std::array<char, kPathBufferSize> folder{};
  if (folderPath(nullptr, kAppDataFolderId, nullptr, 0, folder.data()) < 0) return false;
  folder.back() = '\0';
  path = folder.data();
  return true;
}

std::optional<std::string> Win32FolderSystem::GetAppDataFolder() {
  std::string path;
  if (!ui::GetAppDataFolder(path)) return std::nullopt;
  return path;
}

bool Win32FolderSystem::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32CurrentDirectory::Set(std::string_view path) {
  const std::string folder(path);
  return ::SetCurrentDirectoryA(folder.c_str()) != FALSE;
}

InstanceCheck InstanceMutex::Acquire(std::string_view name) {
  Release();
  if (!mutex_.Open(std::string(name))) return InstanceCheck::kCreateFailed;
  const win32::MutexWait wait = mutex_.Wait(0);
  if (wait == win32::MutexWait::kAcquired || wait == win32::MutexWait::kAbandoned) {
    owned_ = true;
    return InstanceCheck::kOwner;
  }
  mutex_.Release();
  mutex_.Close();
  return InstanceCheck::kOtherInstance;
}

void InstanceMutex::Release() {
  if (owned_) mutex_.Release();
  owned_ = false;
  mutex_.Close();
}

}  // namespace rovant::ui
