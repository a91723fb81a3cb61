// The ways out of a printer operation. Each names, in its order, what is put
// right on the way out: the status window closed, the arrow cursor back, the
// link closed, a message shown. The success paths live with their operation;
// every failure takes one of these.
#pragma once

#include <span>
#include <string_view>

#include "platform/window_ref.hpp"
#include "protocol/printer_operation.hpp"

namespace rovant {

enum class ExitStep { kCloseStatus, kArrowCursor, kCloseLink, kMessage };

using ExitSteps = std::span<const ExitStep>;

namespace exits {

using enum ExitStep;

// Nothing was opened: a port that cannot be set up, or a link that failed in
// silence (no reply mailbox).
inline constexpr ExitStep kNotOpened[] = {kArrowCursor, kCloseStatus};
// The link could not be opened and says why (the LAN connection): shown.
inline constexpr ExitStep kOpenRefused[] = {kCloseStatus, kMessage, kArrowCursor};

// A read whose online sequence or query could not be sent.
inline constexpr ExitStep kReadNotSent[] = {kCloseStatus, kArrowCursor, kCloseLink};
// A read that received nothing, or a reply without the settings.
inline constexpr ExitStep kReadNoSettings[] = {kCloseStatus, kCloseLink, kMessage, kArrowCursor};
// A start-up read that found another model: no message here, the caller tells.
inline constexpr ExitStep kReadOtherModel[] = {kCloseStatus, kCloseLink, kArrowCursor};

// A transfer whose record holds values outside their lists: nothing is opened.
inline constexpr ExitStep kWriteRecordRefused[] = {kCloseStatus, kMessage, kArrowCursor};
// A write whose online sequence or command could not be sent.
inline constexpr ExitStep kWriteNotSent[] = {kArrowCursor, kCloseStatus, kCloseLink};
// A write whose closing save could not be sent: the link is closed first.
inline constexpr ExitStep kWriteNotSaved[] = {kCloseLink, kArrowCursor, kCloseStatus};

}  // namespace exits

// The message a kMessage step shows with the user-icon OK style.
struct ExitMessage {
  std::string_view text;
  unsigned icon = 0;
};

// Takes the steps in order; a kMessage step shows `message` to `owner`.
void TakeExit(PrinterOperationContext& context, ExitSteps steps, WindowRef owner = kNoWindow,
              ExitMessage message = {});

}  // namespace rovant
