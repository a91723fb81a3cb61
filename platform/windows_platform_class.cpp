#include "platform/windows_platform_class.hpp"

#include <windows.h>

namespace rovant {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

bool IsRunningUnderWow64() {
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return false;
  const auto query = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
  BOOL wow64 = FALSE;
  return query != nullptr && query(::GetCurrentProcess(), &wow64) != 0 && wow64 != FALSE;
}

}  // namespace

PlatformClass QueryPlatformClass() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (::GetVersionExA(&version) == 0) return PlatformClass{};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return ClassifyPlatform(version.dwPlatformId == VER_PLATFORM_WIN32_NT, version.dwMajorVersion,
                          IsRunningUnderWow64());
}

}  // namespace rovant
