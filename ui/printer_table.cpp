#include "ui/printer_table.hpp"

#include "model/model_code.hpp"
#include "texts/messages.hpp"
#include "ui/port_state.hpp"

namespace rovant::ui {

std::string CutPrinterText(std::string_view text) {
  return std::string(text.substr(0, kPrinterTextLimit));
}

std::u16string CutPrinterText(std::u16string_view text) {
  return std::u16string(text.substr(0, kPrinterTextLimit));
}

PrinterTable BuildPrinterTable(std::span<const SpoolerPrinter> printers) {
  PrinterTable table;
  table.entries.reserve(printers.size());
  table.icons.reserve(printers.size());
  for (const SpoolerPrinter& printer : printers) {
    PrinterEntry entry;
    entry.printerName = CutPrinterText(printer.printerName);
    entry.printerNameWide = CutPrinterText(printer.printerNameWide);
    entry.portName = CutPrinterText(printer.portName);
    entry.driverName = CutPrinterText(printer.driverName);
    entry.modelCode = ModelOfDriver(entry.driverName);
    entry.portState = kPortLocal;
    entry.queuedJobs = 0;
    unsigned icon = msg::kIconError;
    if (entry.modelCode != ModelCode::kOther) {
      table.anySupported = true;
      entry.portState = ClassifyPort(
          {printer.portName, printer.attributes, printer.status, printer.separatorFile});
      icon = IconOfPortState(entry.portState);
    }
    table.entries.push_back(std::move(entry));
    table.icons.push_back(icon);
  }
  return table;
}

SpoolerPrinterName SpoolerNameOf(const PrinterEntry& entry) {
  return SpoolerPrinterName{entry.printerName, entry.printerNameWide};
}

}  // namespace rovant::ui
