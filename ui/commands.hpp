// The commands of the main window's menu and panel buttons. Each runs to its
// end: readiness check, confirmation, the operation, the no-response message,
// and then tells the window where the keyboard focus goes.
#pragma once

#include <string>
#include <string_view>

#include "ui/command_surroundings.hpp"

namespace rovant::ui {

// Where a command came from. A menu command (and its accelerator) is owned by
// the main window and restores the SavedFocus taken before it began; a panel
// button is owned by the panel and restores its own copy of the focused control.
enum class CommandSource { kMenu, kButton };

// What the window does with the focus once a command has ended.
enum class FocusTarget {
  kSaved,       // the saved control itself
  kValidSaved,  // ValidFocusTarget(saved control): the Reading button if it became disabled
};

struct FocusDecision {
  bool foreground = false;  // bring the main window to the foreground first
  FocusTarget target = FocusTarget::kSaved;

  friend bool operator==(const FocusDecision&, const FocusDecision&) = default;
};

// The wait between a factory default and the read that follows it.
inline constexpr unsigned kWaitBeforeReadAfterDefault = 2000;

// Plain boxes with the question icon: OK and Cancel (OK the default) for a
// confirmation, Yes, No and Cancel (Yes the default) for the quit question.
inline constexpr unsigned kConfirmStyle = 0x01 | 0x20;
inline constexpr unsigned kQuitStyle = 0x03 | 0x20;

FocusDecision ReadCommand(CommandContext& context, CommandSource source);
FocusDecision TransferCommand(CommandContext& context, CommandSource source);
FocusDecision InitializeCommand(CommandContext& context, CommandSource source);
// The commands below exist in the menu only.
FocusDecision ListPrintCommand(CommandContext& context);
FocusDecision FileReadCommand(CommandContext& context);
FocusDecision SaveCommand(CommandContext& context);
FocusDecision HelpCommand(CommandContext& context);
FocusDecision VersionCommand(CommandContext& context);

// The help file's path: the start-up directory, "\" and "ROVANT.CHM", cut to
// fit a 260-byte buffer with its terminator.
std::string HelpFilePath(std::string_view startupDirectory);

// The main window's close request. kKeepRunning: the user cancelled, the
// window restores SavedFocus. kDestroy: the window destroys itself.
enum class QuitDecision { kKeepRunning, kDestroy };
QuitDecision QuitDialogue(CommandContext& context);

// What the main window does when it is destroyed, before it posts the quit message.
void OnMainWindowDestroyed(CommandContext& context);

}  // namespace rovant::ui
