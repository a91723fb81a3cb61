#include "ui/startup_selection.hpp"

#include <string_view>

#include "model/model_code.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/selection_messages.hpp"
#include "ui/port_state.hpp"

namespace rovant::ui {
namespace {

// A port name with this in it is an IPP port, which the program cannot use.
constexpr std::string_view kIppMarker = "/ipp";

enum class Verdict { kAccepted, kChooseAgain, kIppPort };

void Tell(SelectionContext& c, std::string_view text, unsigned icon) {
  ShowMessage(c.boxes, msg::kUserIconOk, text, icon, 0, c.mainWindow);
}

// Whether the chosen printer can be set up. At start-up the job count is
// tested only for a local port; a LAN printer goes on regardless of its queue.
Verdict Examine(SelectionContext& c) {
  const PrinterEntry& printer = c.state.selectedPrinter;
  if (printer.modelCode == ModelCode::kOther) {
    Tell(c, msg::kDriverNotSupported, msg::kIconError);
    return Verdict::kChooseAgain;
  }
  if (!IsUsablePort(printer.portState)) {
    if (const auto text = PortStateMessageOf(printer.portState)) {
      Tell(c, *text, msg::kIconInformation);
    }
    return Verdict::kChooseAgain;
  }
  if (printer.portState == kPortLocal && printer.queuedJobs != 0) {
    Tell(c, msg::kJobsWaiting, msg::kIconWarning);
    return Verdict::kChooseAgain;
  }
  if (printer.portName.find(kIppMarker) != std::string::npos) {
    Tell(c, msg::kIppPort, msg::kIconError);
    return Verdict::kIppPort;
  }
  return Verdict::kAccepted;
}

}  // namespace

StartupOutcome RunStartupSelection(StartupSelection& s) {
  SelectionContext& c = s.selection;
  for (;;) {
    const SelectionDialogRunner::Outcome chosen = s.dialog.Run();
    s.window.FocusMainWindow();
    switch (chosen.result) {
      case SelectionResult::kCancelled:
        return StartupOutcome::kCancelled;
      case SelectionResult::kNoSupportedPrinter:
        Tell(c, msg::kNoSupportedPrinter, msg::kIconError);
        return StartupOutcome::kNoSupportedPrinter;
      case SelectionResult::kChosen:
        switch (Examine(c)) {
          case Verdict::kChooseAgain:
            continue;
          case Verdict::kIppPort:
            return StartupOutcome::kIppPort;
          case Verdict::kAccepted:
            break;
        }
        break;
      case SelectionResult::kNotShown:
        break;  // no dialog: read with the printer selected so far
    }

    s.window.PaintMainWindow();
    const ReadResult read = s.readSettings(ReadMode::kStartUp, c.mainWindow);
    if (read == ReadResult::kDone) {
      s.window.FocusReadButton();
      return StartupOutcome::kReadFromPrinter;
    }
    if (read == ReadResult::kOtherModel) {
      Tell(c, msg::kOtherModel, msg::kIconWarning);
      // Without the dialog there is nothing else to choose: going round again
      // would read the same printer and show the same box for ever.
      if (chosen.result == SelectionResult::kNotShown) return StartupOutcome::kOtherModelNoChoice;
      continue;
    }
    const int answer = ShowMessage(c.boxes, msg::kUserIconAbortRetryIgnore,
                                   msg::kReadFailedContinue, msg::kIconWarning, 0, c.mainWindow);
    if (answer == msg::kResultRetry) continue;
    if (answer == msg::kResultIgnore) {
      s.loadWorkingCopy();
      s.window.FocusReadButton();
      return StartupOutcome::kWorkingCopy;
    }
    return StartupOutcome::kReadAbandoned;  // Abort, or the box could not be shown
  }
}

}  // namespace rovant::ui
