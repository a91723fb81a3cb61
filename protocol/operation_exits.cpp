#include "protocol/operation_exits.hpp"

#include "protocol/show_message.hpp"
#include "texts/messages.hpp"

namespace rovant {

void TakeExit(PrinterOperationContext& c, ExitSteps steps, WindowRef owner, ExitMessage message) {
  for (const ExitStep step : steps) {
    switch (step) {
      case ExitStep::kCloseStatus:
        c.host.CloseStatus();
        break;
      case ExitStep::kArrowCursor:
        c.cursor.ShowArrow();
        break;
      case ExitStep::kCloseLink:
        c.link.Close();
        break;
      case ExitStep::kMessage:
        ShowMessage(c.boxes, msg::kUserIconOk, message.text, message.icon, 0, owner);
        break;
    }
  }
}

}  // namespace rovant
