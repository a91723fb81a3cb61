// Looking up a function of a module loaded at run time, as its own type.
#pragma once

#include <windows.h>

#include <string>

namespace rovant::ui {

// The export `name` (a name or an ordinal made with MAKEINTRESOURCEA) of
// `module`, or null.
template <typename Function>
Function ProcAddress(HMODULE module, LPCSTR name) {
  if (module == nullptr) return nullptr;
  const FARPROC proc = ::GetProcAddress(module, name);
  // Through the generic function type: the export's real type is known to us only.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

// The system folder, or empty.
inline std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(folder, length);
}

// A library from the system folder only: by the search flag where the system
// knows it, else by its full path there.
inline HMODULE LoadSystemLibrary(const char* name) {
  HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr) return module;
  const std::string folder = SystemFolder();
  if (folder.empty()) return nullptr;
  const std::string path = folder + "\\" + name;
  return ::LoadLibraryExA(path.c_str(), nullptr, 0);
}

}  // namespace rovant::ui
