// Making the printer act: transfer the settings, return to the factory
// settings, or print the setting list.
#pragma once

#include "platform/window_ref.hpp"
#include "protocol/printer_operation.hpp"

namespace rovant {

enum class WriteMode : int { kTransfer = 1, kFactoryDefault = 2, kListPrint = 8 };

// Results: done, failed (the caller reports a silent printer), or not sent
// because the record holds values outside their lists (already reported).
enum WriteResult : int { kWriteFailed = 0, kWriteDone = 1, kWriteRefused = -1 };

// Runs the mode (1 Transfer, 2 FactoryDefault, 8 ListPrint; anything else
// returns 0 at once). `owner` owns the message shown when the LAN connection
// cannot be opened.
int WritePrinterSettings(int mode, WindowRef owner, PrinterOperationContext& context);

}  // namespace rovant
