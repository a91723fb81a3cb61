// The one routine for message boxes that carry the program's own icons,
// including the report of a bad item received from the printer.
#pragma once

#include <string>
#include <string_view>

#include "platform/message_boxes.hpp"

namespace rovant {

// The text a box shows: the bad-item report for an item code (101-187, the
// text is then not used), otherwise the text unchanged.
std::string ComposeMessageText(std::string_view text, int code);

// Shows the composed text with the caption "ROVANT", the given style and one
// of the program's icons; returns the button the user chose.
int ShowMessage(MessageBoxes& boxes, unsigned style, std::string_view text, unsigned icon, int code,
                WindowRef owner);

// A plain box (stock icon from the style), for file and start-up failures and questions.
int ShowPlainMessage(MessageBoxes& boxes, WindowRef owner, std::string_view text, unsigned style);

}  // namespace rovant
