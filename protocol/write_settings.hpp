// Making the printer act: transfer the settings, return to the factory
// settings, or print the setting list.
#pragma once

#include "platform/window_ref.hpp"
#include "protocol/printer_operation.hpp"

namespace rovant {

enum class WriteMode : int { kTransfer = 1, kFactoryDefault = 2, kListPrint = 8 };

// Done, failed (the caller reports a silent printer), or refused: not sent
// because the record holds values outside their lists (already reported).
enum class WriteResult : int { kFailed = 0, kDone = 1, kRefused = -1 };

// Runs the mode; a value that is no write mode returns kFailed at once.
// `owner` owns the messages the operation shows.
WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner, PrinterOperationContext& context);

}  // namespace rovant
