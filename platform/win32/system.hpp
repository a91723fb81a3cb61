// The program's and the system's folders, loading a library from the system
// folder only, and what kind of process this is. Folders are given without a
// trailing separator; "" when unknown.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.hpp"

namespace rovant::win32 {

// The folder of the running program's file.
std::string ProgramFolder();
// The system folder.
std::string SystemFolder();
// `name` from the system folder only: by the search flag where the system
// knows it, else by its full path there. Empty when it cannot be loaded.
UniqueModule LoadSystemLibrary(const char* name);
// Whether this is a 32-bit process on a 64-bit system.
bool IsRunningUnderWow64();

}  // namespace rovant::win32
