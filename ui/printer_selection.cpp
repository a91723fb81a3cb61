#include "ui/printer_selection.hpp"

#include "model/model_code.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/selection_messages.hpp"
#include "ui/printer_readiness.hpp"

namespace rovant::ui {

const PrinterTable& PrinterSelection::Rebuild() {
  table_ = PrinterTable{};  // the old table goes before the spooler is asked again
  table_ = BuildPrinterTable(context_.spooler.EnumeratePrinters());
  return table_;
}

bool PrinterSelection::Choose(std::optional<std::size_t> focusedRow) {
  if (!focusedRow || *focusedRow >= table_.entries.size()) {
    ShowMessage(context_.boxes, msg::kUserIconOk, msg::kNotSelected, msg::kIconWarning, 0,
                context_.mainWindow);
    return false;
  }
  PrinterEntry& selected = context_.state.selectedPrinter;
  selected = table_.entries[*focusedRow];
  selected.modelCode = ModelOfDriver(selected.driverName);
  if (selected.modelCode != ModelCode::kOther) RefreshPrinterState(context_);

  // The job count once more, whatever the driver. A printer that cannot be
  // read now keeps the count it had; for a supported driver the refresh above
  // has then already marked its port unusable.
  SpoolerPrinter facts;
  if (context_.spooler.ReadPrinter(SpoolerNameOf(selected), facts) == SpoolerRead::kDone) {
    selected.queuedJobs = facts.jobCount;
  }
  return true;
}

}  // namespace rovant::ui
