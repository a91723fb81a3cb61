#include "connection/lan_loader_win32.hpp"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <string_view>

#include "lanlib/sxjcp_api.h"
#include "platform/win32/proc_address.hpp"
#include "platform/win32/system.hpp"

namespace rovant {
namespace {

using win32::UniqueModule;

bool IsBareFileName(const std::string& name) {
  return !name.empty() && name.size() < MAX_PATH &&
         name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

UniqueModule LoadFromSafeFolders(const std::string& fileName) {
  HMODULE module =
      ::LoadLibraryExA(fileName.c_str(), nullptr,
                       LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return UniqueModule(module);
  // A system without the search flags (Vista, 7 without its update): the same
  // two folders by full path, so that no other folder is ever searched.
  const std::string systemFolder = win32::SystemFolder();
  for (const std::string& folder : {win32::ProgramFolder(), systemFolder}) {
    if (folder.empty()) continue;
    const std::string path = folder + "\\" + fileName;
    // A system library's own dependencies come from the system folder only,
    // where the system takes that flag alone.
    module = folder == systemFolder
                 ? ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                 : nullptr;
    if (module == nullptr &&
        (folder != systemFolder || ::GetLastError() == ERROR_INVALID_PARAMETER))
      module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module != nullptr) return UniqueModule(module);
  }
  return {};
}

// Every entry point of the library, each as the type of its declaration.
struct EntryPoints {
#define SXJCP_MEMBER(name) name##Proc name = nullptr;
  SXJCP_ENTRY_POINTS(SXJCP_MEMBER)
#undef SXJCP_MEMBER

  // Binds every one by name; false when one is missing.
  bool Bind(HMODULE module) {
    bool all = true;
#define SXJCP_BIND(name)                                      \
  name = win32::ProcAddress<decltype(::name)>(module, #name); \
  all = all && name != nullptr;
    SXJCP_ENTRY_POINTS(SXJCP_BIND)
#undef SXJCP_BIND
    return all;
  }
};

HANDLE PortHandle(LanPort port) {
  // NOLINTNEXTLINE: the library's port handles are numbers to the program.
  return reinterpret_cast<HANDLE>(port);
}

class Win32LanLibrary final : public LanLibrary {
 public:
  Win32LanLibrary(UniqueModule module, const EntryPoints& entries)
      : module_(std::move(module)), entries_(entries) {}

  bool Startup() override { return entries_.SxStartup(::GetModuleHandleA(nullptr)) != FALSE; }

  LanPort OpenPort(std::string_view portText) override {
    const std::string text(portText);
    // NOLINTNEXTLINE: see PortHandle.
    return reinterpret_cast<LanPort>(entries_.SxOpenPort(text.c_str()));
  }

  bool WritePort(LanPort port, std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    DWORD count = 0;
    const bool ok = entries_.SxWritePort(PortHandle(port), bytes.data(),
                                         static_cast<DWORD>(bytes.size()), &count) != FALSE;
    written = count;
    return ok;
  }

  bool ReadPort(LanPort port, std::span<std::uint8_t> buffer, std::size_t& received) override {
    received = 0;
    const DWORD size =
        static_cast<DWORD>(std::min<std::size_t>(buffer.size(), std::numeric_limits<DWORD>::max()));
    DWORD count = 0;
    const bool ok = entries_.SxReadPort(PortHandle(port), buffer.data(), size, &count) != FALSE;
    received = std::min<std::size_t>(count, buffer.size());
    return ok;
  }

  void GetError(LanPort port) override { entries_.SxGetError(PortHandle(port)); }

  bool ClosePort(LanPort port) override { return entries_.SxClosePort(PortHandle(port)) != FALSE; }

  bool Cleanup() override { return entries_.SxCleanup() != FALSE; }

 private:
  UniqueModule module_;
  EntryPoints entries_;
};

}  // namespace

std::unique_ptr<LanLibrary> Win32LanLoader::Load() {
  if (!IsBareFileName(fileName_)) return nullptr;
  UniqueModule module = LoadFromSafeFolders(fileName_);
  if (!module) return nullptr;
  EntryPoints entries;
  if (!entries.Bind(module.get())) return nullptr;
  return std::make_unique<Win32LanLibrary>(std::move(module), entries);
}

}  // namespace rovant
