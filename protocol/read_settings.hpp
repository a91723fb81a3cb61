// Reading the printer's settings into the settings record.
#pragma once

#include "platform/window_ref.hpp"
#include "protocol/printer_operation.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant {

// Queries the printer (mode 1 Read, 3 after a factory default, 7 at start-up
// with the model check), parses the reply and, when it carried the settings,
// replaces the settings record. Returns 1 done, 0 failed (the caller reports
// a silent printer), -1 another model is connected (mode 7). Any other mode
// returns 0 at once. Messages go to `owner`.
int ReadPrinterSettings(int mode, WindowRef owner, PrinterOperationContext& context);

}  // namespace rovant
