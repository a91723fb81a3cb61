#include "platform/win32/system.hpp"

#include <vector>

#include "platform/win32/proc_address.hpp"

namespace rovant::win32 {
namespace {

constexpr DWORD kPathRoom = 32768;  // the longest path Windows knows

}  // namespace

std::string ProgramFolder() {
  std::vector<char> path(kPathRoom);
  const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), kPathRoom);
  if (length == 0 || length >= kPathRoom) return {};
  const std::string file(path.data(), length);
  const std::size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::string SystemFolder() {
  std::vector<char> path(kPathRoom);
  const UINT length = ::GetSystemDirectoryA(path.data(), kPathRoom);
  if (length == 0 || length >= kPathRoom) return {};
  return std::string(path.data(), length);
}

UniqueModule LoadSystemLibrary(const char* name) {
  UniqueModule module(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  if (module) return module;
  const std::string folder = SystemFolder();
  if (folder.empty()) return {};
  const std::string path = folder + "\\" + name;
  return UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, 0));
}

bool IsRunningUnderWow64() {
  const auto isWow64 =
      ProcAddress<decltype(::IsWow64Process)>(::GetModuleHandleA("kernel32"), "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

}  // namespace rovant::win32
