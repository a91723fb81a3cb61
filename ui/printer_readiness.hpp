// Bringing the selected printer's port state and job count up to date, and
// the check before every printer command that the printer can be used now.
#pragma once

#include "ui/selection_context.hpp"

namespace rovant::ui {

enum RefreshResult : int {
  kRefreshDone = 0,
  kRefreshCannotOpen = 1,  // the port state is then 255
  kRefreshUnreadable = 2,
  kRefreshNoMemory = 4,
};

// Reads the selected printer's state from the spooler; on kRefreshDone its
// port state and job count are current.
RefreshResult RefreshPrinterState(SelectionContext& context);

enum ReadyResult : int {
  kReady = 0,
  kReadyJobsWaiting = 1,    // after its message
  kReadyPrinterGone = 2,    // after its message
  kReadyUnreadable = 4,     // no message
  kReadyNoMemory = 8,       // no message
  kReadyPortInTheWay = 16,  // after the port state's message, if it has one
};

// Refreshes the selected printer and tells the user what keeps it from being
// used. Callers only test for non-zero.
ReadyResult CheckPrinterReady(SelectionContext& context);

}  // namespace rovant::ui
