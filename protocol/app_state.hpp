// The process-wide state the printer operations share, passed in explicitly.
#pragma once

#include "model/printer_entry.hpp"
#include "model/settings_record.hpp"

namespace rovant {

struct AppState {
  SettingsRecord settings{};       // what the pages show and a transfer sends
  SettingsRecord staging{};        // what the last read parsed
  int connectedModel = 0;          // model code the last start-up read saw, 0 before
  bool noResponsePending = false;  // a command could not be sent: wait before the next
  PrinterEntry selectedPrinter;
};

}  // namespace rovant
