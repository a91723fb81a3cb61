#include "platform/platform_class_win32.hpp"

#include <windows.h>

#include "platform/win32/system.hpp"

namespace rovant {

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
                          win32::IsRunningUnderWow64());
}

}  // namespace rovant
