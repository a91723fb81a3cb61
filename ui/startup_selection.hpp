// The start-up loop: the user chooses a printer until one is ready, then the
// first read checks its model and loads its settings (or, on the user's
// Ignore, the working copy is loaded instead).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "platform/window_ref.hpp"
#include "protocol/reply_parser.hpp"
#include "ui/printer_selection.hpp"
#include "ui/selection_context.hpp"

namespace rovant::ui {

// Runs the printer selection dialog once, modal to the main window.
class SelectionDialogRunner {
 public:
  struct Outcome {
    SelectionResult result = SelectionResult::kNotShown;
    std::optional<std::size_t> chosenRow;  // with kChosen
  };
  virtual ~SelectionDialogRunner() = default;
  virtual Outcome Run() = 0;
};

// What the start-up asks of the main window.
class StartupWindow {
 public:
  virtual ~StartupWindow() = default;
  virtual void FocusMainWindow() = 0;  // the keyboard focus to the main window
  virtual void PaintMainWindow() = 0;  // paint it at once, before the long read
  virtual void FocusReadButton() = 0;  // the keyboard focus to the Reading button
};

struct StartupSelection {
  SelectionContext& selection;
  SelectionDialogRunner& dialog;
  StartupWindow& window;
  // ReadPrinterSettings(mode, owner), called with ReadMode::kStartUp.
  std::function<ReadResult(ReadMode mode, WindowRef owner)> readSettings;
  // Fills the settings record from the working copy (factory defaults without one).
  std::function<void()> loadWorkingCopy;
};

enum class StartupOutcome {
  kReadFromPrinter,     // the printer's settings were read
  kWorkingCopy,         // the read failed and the user chose Ignore
  kCancelled,           // the user cancelled the selection
  kNoSupportedPrinter,  // no printer has a supported driver
  kIppPort,             // the chosen printer is on an IPP port
  kReadAbandoned,       // the read failed and the user chose Abort
  kOtherModelNoChoice,  // another model answered and no dialog lets the user choose again
};

constexpr bool StartupSucceeded(StartupOutcome outcome) {
  return outcome == StartupOutcome::kReadFromPrinter || outcome == StartupOutcome::kWorkingCopy;
}

StartupOutcome RunStartupSelection(StartupSelection& startup);

}  // namespace rovant::ui
