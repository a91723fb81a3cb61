#include "connection/win32_lan_loader.hpp"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <type_traits>
#include <vector>

#include "lanlib/sxjcp_api.h"

namespace rovant {
namespace {

struct ModuleFree {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

constexpr DWORD kPathRoom = 32768;  // the longest path Windows knows

bool IsBareFileName(const std::string& name) {
  return !name.empty() && name.size() < MAX_PATH &&
         name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

// The folder the program was started from, ending in a backslash; "" when unknown.
std::string ProgramFolder() {
  std::vector<char> path(kPathRoom);
  const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), kPathRoom);
  if (length == 0 || length >= kPathRoom) return {};
  std::string folder(path.data(), length);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// The system folder, ending in a backslash; "" when unknown.
std::string SystemFolder() {
  std::vector<char> path(kPathRoom);
  const UINT length = ::GetSystemDirectoryA(path.data(), kPathRoom);
  if (length == 0 || length >= kPathRoom) return {};
  return std::string(path.data(), length) + "\\";
}

ModuleHandle LoadFromSafeFolders(const std::string& fileName) {
  HMODULE module =
      ::LoadLibraryExA(fileName.c_str(), nullptr,
                       LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return ModuleHandle(module);
  // A system without the search flags (Vista, 7 without its update): the same
  // two folders by full path, so that no other folder is ever searched.
  const std::string systemFolder = SystemFolder();
  for (const std::string& folder : {ProgramFolder(), systemFolder}) {
    if (folder.empty()) continue;
    const std::string path = folder + fileName;
    // A system library's own dependencies come from the system folder only,
    // where the system takes that flag alone.
    module = folder == systemFolder
                 ? ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                 : nullptr;
    if (module == nullptr &&
        (folder != systemFolder || ::GetLastError() == ERROR_INVALID_PARAMETER))
      module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module != nullptr) return ModuleHandle(module);
  }
  return nullptr;
}

// GetProcAddress's result as the entry point's own type.
template <typename Proc>
Proc As(FARPROC address) {
  // NOLINTNEXTLINE: through the generic function type that may be cast to any other.
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(address));
}

struct EntryPoints {
  SxStartupProc startup = nullptr;
  SxCleanupProc cleanup = nullptr;
  SxOpenPortProc openPort = nullptr;
  SxClosePortProc closePort = nullptr;
  SxReadPortProc readPort = nullptr;
  SxWritePortProc writePort = nullptr;
  SxGetErrorProc getError = nullptr;
};

HANDLE PortHandle(LanPort port) {
  // NOLINTNEXTLINE: the library's port handles are numbers to the program.
  return reinterpret_cast<HANDLE>(port);
}

class Win32LanLibrary final : public LanLibrary {
 public:
  Win32LanLibrary(ModuleHandle module, const EntryPoints& entries)
      : module_(std::move(module)), entries_(entries) {}

  bool Startup() override { return entries_.startup(::GetModuleHandleA(nullptr)) != FALSE; }

  LanPort OpenPort(std::string_view portText) override {
    const std::string text(portText);
    // NOLINTNEXTLINE: see PortHandle.
    return reinterpret_cast<LanPort>(entries_.openPort(text.c_str()));
  }

  bool WritePort(LanPort port, std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    DWORD count = 0;
    const bool ok = entries_.writePort(PortHandle(port), bytes.data(),
                                       static_cast<DWORD>(bytes.size()), &count) != FALSE;
    written = count;
    return ok;
  }

  bool ReadPort(LanPort port, std::span<std::uint8_t> buffer, std::size_t& received) override {
    received = 0;
    const DWORD size =
        static_cast<DWORD>(std::min<std::size_t>(buffer.size(), std::numeric_limits<DWORD>::max()));
    DWORD count = 0;
    const bool ok = entries_.readPort(PortHandle(port), buffer.data(), size, &count) != FALSE;
    received = std::min<std::size_t>(count, buffer.size());
    return ok;
  }

  void GetError(LanPort port) override { entries_.getError(PortHandle(port)); }

  bool ClosePort(LanPort port) override { return entries_.closePort(PortHandle(port)) != FALSE; }

  bool Cleanup() override { return entries_.cleanup() != FALSE; }

 private:
  ModuleHandle module_;
  EntryPoints entries_;
};

}  // namespace

std::unique_ptr<LanLibrary> Win32LanLoader::Load() {
  if (!IsBareFileName(fileName_)) return nullptr;
  ModuleHandle module = LoadFromSafeFolders(fileName_);
  if (!module) return nullptr;
  for (const std::string_view name : kLanEntryPoints) {
    if (::GetProcAddress(module.get(), std::string(name).c_str()) == nullptr) return nullptr;
  }
  const auto bind = [&](const char* name) { return ::GetProcAddress(module.get(), name); };
  EntryPoints entries;
  entries.startup = As<SxStartupProc>(bind("SxStartup"));
  entries.cleanup = As<SxCleanupProc>(bind("SxCleanup"));
  entries.openPort = As<SxOpenPortProc>(bind("SxOpenPort"));
  entries.closePort = As<SxClosePortProc>(bind("SxClosePort"));
  entries.readPort = As<SxReadPortProc>(bind("SxReadPort"));
  entries.writePort = As<SxWritePortProc>(bind("SxWritePort"));
  entries.getError = As<SxGetErrorProc>(bind("SxGetError"));
  return std::make_unique<Win32LanLibrary>(std::move(module), entries);
}

}  // namespace rovant
