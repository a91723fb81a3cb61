// Modal message boxes, as the operations ask for them.
#pragma once

#include <string>

#include "platform/window_ref.hpp"

namespace rovant {

struct MessageBoxRequest {
  WindowRef owner = kNoWindow;
  std::string text;
  unsigned style = 0;  // message box style bits
  unsigned icon = 0;   // one of the program's icon resources, or 0 for the style's stock icon

  friend bool operator==(const MessageBoxRequest&, const MessageBoxRequest&) = default;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box with the caption "ROVANT" and returns the button chosen.
  virtual int Show(const MessageBoxRequest& request) = 0;
};

}  // namespace rovant
