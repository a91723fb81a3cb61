#include "ui/win32/spooler_win32.hpp"

#include <windows.h>
#include <winspool.h>

#include "platform/win32/printer.hpp"
#include "platform/win32/text.hpp"

namespace rovant::ui {
namespace {

constexpr DWORD kEnumFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
constexpr DWORD kLevel = 2;
// The spooler may ask for more each time while printers are being added; a
// spooler that never settles counts as a failed enumeration.
constexpr int kMaxEnumAttempts = 16;

std::string AnsiOf(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

std::string AnsiOf(const wchar_t* text) {
  return text != nullptr ? win32::FromWide(text) : std::string();
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

std::vector<SpoolerPrinter> Win32Spooler::EnumeratePrinters() {
  std::vector<SpoolerPrinter> printers;
  DWORD count = 0;
  if (ntFamily_) {
    std::vector<PRINTER_INFO_2W> infos = win32::EnumerateInfo<PRINTER_INFO_2W>(
        [](LPBYTE buffer, DWORD size, DWORD* needed, DWORD* returned) {
          return ::EnumPrintersW(kEnumFlags, nullptr, kLevel, buffer, size, needed, returned);
        },
        count, kMaxEnumAttempts);
    for (DWORD i = 0; i < count && i < infos.size(); ++i) {
      printers.push_back(FactsOf(infos[i]));
      printers.back().printerNameWide = Utf16Of(infos[i].pPrinterName);
    }
  } else {
    std::vector<PRINTER_INFO_2A> infos = win32::EnumerateInfo<PRINTER_INFO_2A>(
        [](LPBYTE buffer, DWORD size, DWORD* needed, DWORD* returned) {
          return ::EnumPrintersA(kEnumFlags, nullptr, kLevel, buffer, size, needed, returned);
        },
        count, kMaxEnumAttempts);
    for (DWORD i = 0; i < count && i < infos.size(); ++i) printers.push_back(FactsOf(infos[i]));
  }
  return printers;
}

SpoolerRead Win32Spooler::ReadPrinter(const SpoolerPrinterName& name, SpoolerPrinter& facts) {
  // An empty name would open the print server itself, not a printer.
  win32::PrinterHandle printer;
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

  std::vector<PRINTER_INFO_2A> info;
  switch (win32::ReadPrinterInfo2(printer.get(), info)) {
    case win32::PrinterInfoRead::kDone:
      break;
    case win32::PrinterInfoRead::kNoMemory:
      return SpoolerRead::kNoMemory;
    case win32::PrinterInfoRead::kUnreadable:
      return SpoolerRead::kUnreadable;
  }
  const SpoolerPrinter read = FactsOf(info.front());
  facts = read;
  facts.printerNameWide = name.wide;
  return SpoolerRead::kDone;
}

}  // namespace rovant::ui
