// What printer selection and the readiness check work with.
#pragma once

#include "platform/message_boxes.hpp"
#include "platform/spooler.hpp"
#include "platform/window_ref.hpp"
#include "protocol/app_state.hpp"

namespace rovant::ui {

struct SelectionContext {
  AppState& state;  // holds the selected printer
  Spooler& spooler;
  MessageBoxes& boxes;
  WindowRef mainWindow = kNoWindow;  // owner of every message shown
};

}  // namespace rovant::ui
