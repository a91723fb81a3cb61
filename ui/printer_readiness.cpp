#include "ui/printer_readiness.hpp"

#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/selection_messages.hpp"
#include "ui/port_state.hpp"
#include "ui/printer_table.hpp"

namespace rovant::ui {

RefreshResult RefreshPrinterState(SelectionContext& c) {
  PrinterEntry& printer = c.state.selectedPrinter;
  SpoolerPrinter facts;
  switch (c.spooler.ReadPrinter(SpoolerNameOf(printer), facts)) {
    case SpoolerRead::kCannotOpen:
      printer.portState = kPortUnusable;
      return kRefreshCannotOpen;
    case SpoolerRead::kNoMemory:
      return kRefreshNoMemory;
    case SpoolerRead::kUnreadable:
      return kRefreshUnreadable;
    case SpoolerRead::kDone:
      break;
  }
  printer.queuedJobs = facts.jobCount;
  printer.portState =
      ClassifyPort({facts.portName, facts.attributes, facts.status, facts.separatorFile});
  return kRefreshDone;
}

ReadyResult CheckPrinterReady(SelectionContext& c) {
  switch (RefreshPrinterState(c)) {
    case kRefreshCannotOpen:
      ShowMessage(c.boxes, msg::kUserIconOk, msg::kPrinterDeleted, msg::kIconInformation, 0,
                  c.mainWindow);
      return kReadyPrinterGone;
    case kRefreshUnreadable:
      return kReadyUnreadable;
    case kRefreshNoMemory:
      return kReadyNoMemory;
    case kRefreshDone:
      break;
  }
  const PrinterEntry& printer = c.state.selectedPrinter;
  if (IsUsablePort(printer.portState)) {
    if (printer.queuedJobs == 0) return kReady;
    ShowMessage(c.boxes, msg::kUserIconOk, msg::kJobsWaiting, msg::kIconWarning, 0, c.mainWindow);
    return kReadyJobsWaiting;
  }
  if (const auto text = PortStateMessageOf(printer.portState)) {
    ShowMessage(c.boxes, msg::kUserIconOk, *text, msg::kIconInformation, 0, c.mainWindow);
  }
  return kReadyPortInTheWay;
}

}  // namespace rovant::ui
