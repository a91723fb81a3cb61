// A function of a module loaded at run time, as the type of its declaration:
//   ProcAddress<decltype(::IsWow64Process)>(kernel, "IsWow64Process")
#pragma once

#include <windows.h>

#include <type_traits>

namespace rovant::win32 {

// The export `name` (a name, or an ordinal made with MAKEINTRESOURCEA) of
// `module`, or null.
template <typename Function>
Function* ProcAddress(HMODULE module, LPCSTR name) {
  static_assert(std::is_function_v<Function>, "give the function's type: decltype(::Name)");
  if (module == nullptr) return nullptr;
  const FARPROC proc = ::GetProcAddress(module, name);
  // Through the generic function type: the export's real type is the declaration's.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace rovant::win32
