#include "protocol/printer_operation.hpp"

#include <string>

#include "protocol/show_message.hpp"
#include "texts/messages.hpp"

namespace rovant {

bool BeginExchange(PrinterOperationContext& c, WindowRef owner) {
  if (!c.link.OpenMailbox()) {
    c.cursor.ShowArrow();
    c.host.CloseStatus();
    return false;
  }
  switch (c.state.selectedPrinter.portState) {
    case kPortLocal:
      c.link.StartSpoolerSession();
      break;
    case kPortLan: {
      std::string failure;
      if (!c.link.OpenLan(failure)) {
        c.host.CloseStatus();
        ShowMessage(c.boxes, msg::kUserIconOk, failure, msg::kIconError, 0, owner);
        c.cursor.ShowArrow();
        return false;
      }
      break;
    }
    default:  // a port that cannot be set up: nothing to talk to
      c.cursor.ShowArrow();
      c.host.CloseStatus();
      return false;
  }
  if (c.state.noResponsePending) {
    c.state.noResponsePending = false;
    c.clock.SleepMs(kWaitAfterNoResponse);
  }
  return true;
}

}  // namespace rovant
