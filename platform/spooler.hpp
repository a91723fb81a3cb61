// What the program asks the print spooler: which printers exist, and the
// level-2 facts of one printer (port, driver, state, queue).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rovant {

// The spooler's level-2 facts about one printer, texts in the ANSI code page.
struct SpoolerPrinter {
  std::string printerName;
  std::u16string printerNameWide;  // the name as the wide spooler gave it (NT family only)
  std::string portName;
  std::string driverName;
  std::uint32_t attributes = 0;  // PRINTER_ATTRIBUTE_* bits
  std::uint32_t status = 0;      // PRINTER_STATUS_* bits
  std::string separatorFile;
  std::uint32_t jobCount = 0;

  friend bool operator==(const SpoolerPrinter&, const SpoolerPrinter&) = default;
};

// How a printer is named when it is opened: the spooler uses the wide name on
// the NT family and the ANSI name otherwise.
struct SpoolerPrinterName {
  std::string ansi;
  std::u16string wide;
};

enum class SpoolerRead {
  kDone,
  kCannotOpen,  // no such printer, or no access
  kUnreadable,  // opened, but its information could not be read
  kNoMemory,    // no memory for its information
};

class Spooler {
 public:
  virtual ~Spooler() = default;
  // Local printers and printer connections, in the spooler's order; a failed
  // enumeration gives no printers.
  virtual std::vector<SpoolerPrinter> EnumeratePrinters() = 0;
  // Opens the printer, reads its level-2 facts into `facts` and closes it again.
  virtual SpoolerRead ReadPrinter(const SpoolerPrinterName& name, SpoolerPrinter& facts) = 0;
};

}  // namespace rovant
