// MessageBoxes on the system's message boxes: caption "ROVANT"; a request with one of the
// program's icons shows it from the module's resources (MB_USERICON).
#pragma once

#include <windows.h>

#include "platform/message_boxes.hpp"

namespace rovant::ui {

class Win32MessageBoxes final : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(HINSTANCE instance) : instance_(instance) {}
  int Show(const MessageBoxRequest& request) override;

 private:
  HINSTANCE instance_;
};

}  // namespace rovant::ui
