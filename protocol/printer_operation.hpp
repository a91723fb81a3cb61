// What a printer operation works with: the shared state and its surroundings.
#pragma once

#include "platform/clock.hpp"
#include "platform/cursor.hpp"
#include "platform/message_boxes.hpp"
#include "platform/operation_host.hpp"
#include "platform/page_store.hpp"
#include "platform/printer_link.hpp"
#include "platform/window_ref.hpp"
#include "protocol/app_state.hpp"

namespace rovant {

struct PrinterOperationContext {
  AppState& state;
  PrinterLink& link;
  Clock& clock;
  OperationHost& host;
  Cursor& cursor;
  MessageBoxes& boxes;
  PageStore& pages;
};

// The protocol's fixed waits, in milliseconds.
inline constexpr unsigned kWaitAfterNoResponse = 5000;
inline constexpr unsigned kWaitForReply = 2000;
inline constexpr unsigned kWaitAfterRead = 1200;
inline constexpr unsigned kWaitAfterTransfer = 2000;
inline constexpr unsigned kWaitAfterFactoryDefault = 5000;
inline constexpr unsigned kWaitAfterListPrint = 2000;

}  // namespace rovant

namespace rovant {

// Opens the exchange with the selected printer by its port's route (a
// spooler session for a local port, the LAN connection for a network port),
// then waits as owed to an earlier command that could not be sent. On failure
// the operation has left by exits::kNotOpened or, with the link's reason shown
// to `owner`, exits::kOpenRefused, and false returns.
bool BeginExchange(PrinterOperationContext& context, WindowRef owner);

}  // namespace rovant
