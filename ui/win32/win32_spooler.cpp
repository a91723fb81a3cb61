#include "ui/win32/win32_spooler.hpp"

#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <new>

#include "ui/win32/printer_handle.hpp"

namespace rovant::ui {
namespace {

constexpr DWORD kEnumFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
constexpr DWORD kLevel = 2;
// The spooler may ask for more each time while printers are being added; a
// spooler that never settles counts as a failed enumeration.
constexpr int kMaxEnumAttempts = 16;

// Makes room for `bytes` bytes of spooler information, zero-filled and aligned
// for its records. False when there is no memory for it.
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

// Calls `enumerate(buffer, size, needed, returned)` first without a buffer,
// then with the size the spooler asks for while the buffer is too small.
template <typename Info, typename Enumerate>
std::vector<Info> EnumerateLevel2(Enumerate enumerate, DWORD& returned) {
  std::vector<Info> buffer;
  for (int attempt = 0; attempt < kMaxEnumAttempts; ++attempt) {
    DWORD needed = 0;
    returned = 0;
    if (enumerate(BytesOf(buffer), SizeOf(buffer), &needed, &returned) != FALSE) return buffer;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || !AllocateZeroed(buffer, needed)) break;
  }
  returned = 0;
  return {};
}

std::string AnsiOf(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

std::string AnsiOf(const wchar_t* text) {
  return text != nullptr ? ToAnsiCodePage(text) : std::string();
}

std::u16string Utf16Of(const wchar_t* text) {
  std::u16string out;
  for (const wchar_t* p = text; p != nullptr && *p != L'\0'; ++p) {
    out.push_back(static_cast<char16_t>(*p));
  }
  return out;
}

template <typename Info>
SpoolerPrinter FactsOf(const Info& info) {
  SpoolerPrinter facts;
  facts.printerName = AnsiOf(info.pPrinterName);
  facts.portName = AnsiOf(info.pPortName);
  facts.driverName = AnsiOf(info.pDriverName);
  facts.attributes = info.Attributes;
  facts.status = info.Status;
  facts.separatorFile = AnsiOf(info.pSepFile);
  facts.jobCount = info.cJobs;
  return facts;
}

}  // namespace

std::string ToAnsiCodePage(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
  return out;
}

std::vector<SpoolerPrinter> Win32Spooler::EnumeratePrinters() {
  std::vector<SpoolerPrinter> printers;
  DWORD count = 0;
  if (ntFamily_) {
    std::vector<PRINTER_INFO_2W> infos = EnumerateLevel2<PRINTER_INFO_2W>(
        [](LPBYTE buffer, DWORD size, DWORD* needed, DWORD* returned) {
          return ::EnumPrintersW(kEnumFlags, nullptr, kLevel, buffer, size, needed, returned);
        },
        count);
    for (DWORD i = 0; i < count && i < infos.size(); ++i) {
      printers.push_back(FactsOf(infos[i]));
      printers.back().printerNameWide = Utf16Of(infos[i].pPrinterName);
    }
  } else {
    std::vector<PRINTER_INFO_2A> infos = EnumerateLevel2<PRINTER_INFO_2A>(
        [](LPBYTE buffer, DWORD size, DWORD* needed, DWORD* returned) {
          return ::EnumPrintersA(kEnumFlags, nullptr, kLevel, buffer, size, needed, returned);
        },
        count);
    for (DWORD i = 0; i < count && i < infos.size(); ++i) printers.push_back(FactsOf(infos[i]));
  }
  return printers;
}

SpoolerRead Win32Spooler::ReadPrinter(const SpoolerPrinterName& name, SpoolerPrinter& facts) {
  // An empty name would open the print server itself, not a printer.
  PrinterHandle printer;
  if (ntFamily_) {
    std::wstring wide(name.wide.begin(), name.wide.end());
    if (wide.empty() || ::OpenPrinterW(wide.data(), printer.Receive(), nullptr) == FALSE) {
      return SpoolerRead::kCannotOpen;
    }
  } else {
    std::string ansi = name.ansi;
    if (ansi.empty() || ::OpenPrinterA(ansi.data(), printer.Receive(), nullptr) == FALSE) {
      return SpoolerRead::kCannotOpen;
    }
  }
  if (!printer) return SpoolerRead::kCannotOpen;

  DWORD needed = 0;
  ::GetPrinterA(printer.get(), kLevel, nullptr, 0, &needed);
  if (needed == 0) return SpoolerRead::kUnreadable;
  std::vector<PRINTER_INFO_2A> info;
  if (!AllocateZeroed(info, needed)) return SpoolerRead::kNoMemory;
  if (::GetPrinterA(printer.get(), kLevel, BytesOf(info), SizeOf(info), &needed) == FALSE) {
    return SpoolerRead::kUnreadable;
  }
  const SpoolerPrinter read = FactsOf(info.front());
  facts = read;
  facts.printerNameWide = name.wide;
  return SpoolerRead::kDone;
}

}  // namespace rovant::ui
