#include "platform/win32/printer.hpp"

namespace rovant::win32 {
namespace {

constexpr DWORD kLevel = 2;

template <typename Info, typename GetPrinterFunction>
PrinterInfoRead ReadLevel2(HANDLE printer, std::vector<Info>& info, GetPrinterFunction get) {
  DWORD needed = 0;
  get(printer, kLevel, nullptr, 0, &needed);
  if (needed == 0) return PrinterInfoRead::kUnreadable;
  if (!AllocateZeroed(info, needed)) return PrinterInfoRead::kNoMemory;
  if (get(printer, kLevel, BytesOf(info), SizeOf(info), &needed) == FALSE) {
    return PrinterInfoRead::kUnreadable;
  }
  return PrinterInfoRead::kDone;
}

}  // namespace

PrinterInfoRead ReadPrinterInfo2(HANDLE printer, std::vector<PRINTER_INFO_2A>& info) {
  return ReadLevel2(printer, info, ::GetPrinterA);
}

PrinterInfoRead ReadPrinterInfo2(HANDLE printer, std::vector<PRINTER_INFO_2W>& info) {
  return ReadLevel2(printer, info, ::GetPrinterW);
}

}  // namespace rovant::win32
