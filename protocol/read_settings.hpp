// Reading the printer's settings into the settings record.
#pragma once

#include "platform/window_ref.hpp"
#include "protocol/printer_operation.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant {

// Queries the printer (the start-up read with the model check), parses the
// reply and, when it carried the settings, replaces the settings record.
// Returns kDone, kFailed (the caller reports a silent printer) or kOtherModel
// (a start-up read found another model connected). A value that is no read
// mode returns kFailed at once. Messages go to `owner`.
ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner, PrinterOperationContext& context);

}  // namespace rovant
