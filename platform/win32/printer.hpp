// The spooler's level-2 printer records: read from an open printer, or
// enumerated, in buffers aligned for the records.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <new>
#include <vector>

#include "platform/win32/unique_handle.hpp"

namespace rovant::win32 {

struct PrinterTraits : NullIsEmpty<HANDLE> {
  static void Close(HANDLE printer) { ::ClosePrinter(printer); }
};
// An open spooler printer.
using PrinterHandle = UniqueHandle<PrinterTraits>;

enum class PrinterInfoRead { kDone, kUnreadable, kNoMemory };

// Makes room for `bytes` bytes of spooler records, zero-filled. False when
// there is no memory for it.
template <typename Info>
bool AllocateZeroed(std::vector<Info>& buffer, DWORD bytes) noexcept {
  try {
    buffer.assign((bytes + sizeof(Info) - 1) / sizeof(Info), Info{});
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

template <typename Info>
LPBYTE BytesOf(std::vector<Info>& buffer) {
  return buffer.empty() ? nullptr : reinterpret_cast<LPBYTE>(buffer.data());
}

template <typename Info>
DWORD SizeOf(const std::vector<Info>& buffer) {
  return static_cast<DWORD>(buffer.size() * sizeof(Info));
}

// The level-2 record of an open printer in `info` (its first element); the
// spooler is asked for the size first.
PrinterInfoRead ReadPrinterInfo2(HANDLE printer, std::vector<PRINTER_INFO_2A>& info);
PrinterInfoRead ReadPrinterInfo2(HANDLE printer, std::vector<PRINTER_INFO_2W>& info);

// Calls `enumerate(buffer, size, needed, returned)` first without a buffer,
// then with the size the spooler asks for while the buffer is too small, at
// most `attempts` times: the spooler may ask for more each time while printers
// are being added. Nothing, with `returned` 0, when it never settles.
template <typename Info, typename Enumerate>
std::vector<Info> EnumerateInfo(Enumerate enumerate, DWORD& returned, int attempts) {
  std::vector<Info> buffer;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    DWORD needed = 0;
    returned = 0;
    if (enumerate(BytesOf(buffer), SizeOf(buffer), &needed, &returned) != FALSE) return buffer;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || !AllocateZeroed(buffer, needed)) break;
  }
  returned = 0;
  return {};
}

}  // namespace rovant::win32
