// The printers the selection dialog lists, built anew from the spooler each
// time the dialog opens or rebuilds its list.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/printer_entry.hpp"
#include "platform/spooler.hpp"

namespace rovant::ui {

// Every text field of a printer entry holds at most this many characters.
inline constexpr std::size_t kPrinterTextLimit = 255;

std::string CutPrinterText(std::string_view text);
std::u16string CutPrinterText(std::u16string_view text);

struct PrinterTable {
  std::vector<PrinterEntry> entries;  // in the spooler's order
  std::vector<unsigned> icons;        // the list icon of each entry, same index
  bool anySupported = false;          // at least one printer has a supported driver
};

// A printer on a supported driver is classified by its port and listed with
// the icon of its port state; any other printer is listed with the error icon
// and not classified further.
PrinterTable BuildPrinterTable(std::span<const SpoolerPrinter> printers);

// How the spooler is to open the entry's printer.
SpoolerPrinterName SpoolerNameOf(const PrinterEntry& entry);

}  // namespace rovant::ui
