#include "protocol/printer_operation.hpp"

#include <optional>

#include "protocol/operation_exits.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"

namespace rovant {
namespace {

// A printer on a local port is reached by a spooler session, one on a network
// port by the LAN connection; any other port cannot be set up.
std::optional<LinkRoute> RouteOf(int portState) {
  switch (portState) {
    case kPortLocal:
      return LinkRoute::kSpoolerSession;
    case kPortLan:
      return LinkRoute::kLan;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool BeginExchange(PrinterOperationContext& c, WindowRef owner) {
  const std::optional<LinkRoute> route = RouteOf(c.state.selectedPrinter.portState);
  if (!route) {
    TakeExit(c, exits::kNotOpened);
    return false;
  }
  const LinkOpening opening = c.link.Open(*route);
  if (!opening.open) {
    if (opening.message.empty()) {
      TakeExit(c, exits::kNotOpened);
    } else {
      TakeExit(c, exits::kOpenRefused, owner, {opening.message, msg::kIconError});
    }
    return false;
  }
  if (c.state.noResponsePending) {
    c.state.noResponsePending = false;
    c.clock.SleepMs(kWaitAfterNoResponse);
  }
  return true;
}

}  // namespace rovant
