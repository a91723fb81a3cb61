#include "ui/startup_selection.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tests/ui/selection_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::CallLog;
using testing::Calls;
using testing::Join;
using testing::kBidi;
using testing::Printer;

// The selection dialog, driven by the real selection logic and a scripted user who at each
// showing chooses a row with OK, or cancels (no row); and the main window.
class FakeSelectionDialog final : public SelectionDialogRunner, public StartupWindow {
 public:
  FakeSelectionDialog(CallLog& log, PrinterSelection& selection)
      : log_(log), selection_(selection) {}
  Outcome Run() override {
    log_.Add("dialog");
    if (!shows) return {SelectionResult::kNotShown, {}};
    if (!selection_.Rebuild().anySupported) return {SelectionResult::kNoSupportedPrinter, {}};
    const std::optional<std::size_t> row = turns.empty() ? std::nullopt : turns.front();
    if (!turns.empty()) turns.pop_front();
    if (row && selection_.Choose(row)) return {SelectionResult::kChosen, row};
    return {SelectionResult::kCancelled, {}};
  }
  void FocusMainWindow() override { log_.Add("focus main window"); }
  void PaintMainWindow() override { log_.Add("paint main window"); }
  void FocusReadButton() override { log_.Add("focus read button"); }
  std::deque<std::optional<std::size_t>> turns;
  bool shows = true;

 private:
  CallLog& log_;
  PrinterSelection& selection_;
};

const std::string kRead = "read 7 owner " + std::to_string(testing::kMainWindow);
const std::string kLoad = "load working copy";
const std::string kAsk = Box(189, msg::kReadFailedContinue, msg::kUserIconAbortRetryIgnore);

// One showing of the dialog in which printer `name` (supported) is chosen at the first OK.
Calls Chosen(const std::string& name, bool supported = true) {
  Calls calls{"dialog", "spooler enumerate"};
  if (supported) calls.push_back("spooler read " + name);
  calls.push_back("spooler read " + name);
  calls.push_back("focus main window");
  return calls;
}

struct LoopCase {
  const char* name;
  std::vector<SpoolerPrinter> printers;
  std::vector<std::optional<std::size_t>> turns;  // the rows chosen at each showing
  std::vector<int> reads;                         // results of the successive reads
  std::vector<int> answers;                       // buttons of the successive boxes
  StartupOutcome outcome;
  Calls calls;
  bool shows = true;  // false: no dialog, the printer selected so far is read
};

class StartupLoop : public testing::SelectionTest, public ::testing::WithParamInterface<LoopCase> {
 protected:
  StartupLoop() { state.selectedPrinter.modelCode = ModelCode::kHx320; }

  PrinterSelection selection{context};
  FakeSelectionDialog dialog{log, selection};
  std::deque<int> reads;  // the results' values: 1 done, 0 failed, -1 another model
  StartupSelection startup{context, dialog, dialog,
                           [this](ReadMode mode, WindowRef owner) {
                             log.Add("read " + std::to_string(static_cast<int>(mode)) + " owner " +
                                     std::to_string(owner));
                             if (reads.empty()) return ReadResult::kFailed;
                             const int result = reads.front();
                             reads.pop_front();
                             return static_cast<ReadResult>(result);
                           },
                           [this] { log.Add(kLoad); }};
};

TEST_P(StartupLoop, ShowsEachMessageAndEndsAsTheUserDecides) {
  const LoopCase& c = GetParam();
  spooler.printers = c.printers;
  dialog.turns.assign(c.turns.begin(), c.turns.end());
  dialog.shows = c.shows;
  reads.assign(c.reads.begin(), c.reads.end());
  boxes.answers.assign(c.answers.begin(), c.answers.end());
  EXPECT_EQ(RunStartupSelection(startup), c.outcome);
  EXPECT_EQ(log.calls, c.calls);
  for (const MessageBoxRequest& shown : boxes.shown) EXPECT_EQ(shown.owner, testing::kMainWindow);
  EXPECT_TRUE(reads.empty()) << "every scripted read happened";
  EXPECT_TRUE(dialog.turns.empty()) << "every scripted showing happened";
}

const SpoolerPrinter kReady = Printer("ready");
const SpoolerPrinter kLan = Printer("lan", "IP_1.1.1.1:lp", "Vek HX310", 0, 0, "", 3);
const SpoolerPrinter kOther = Printer("other", "LPT1:", "Generic / Text Only");
const SpoolerPrinter kPaused = Printer("paused", "LPT1:", "Vek HX320", kBidi, 1);
const SpoolerPrinter kCom = Printer("com", "COM1:");
const SpoolerPrinter kJobs = Printer("jobs", "USB001", "Vek HX320", kBidi, 0, "", 1);
const SpoolerPrinter kIpp = Printer("ipp", "LPT1:/ipp/x");
const SpoolerPrinter kIppLan = Printer("ipplan", "http://h:lp/ipp", "Vek HX320", 0);

const std::optional<std::size_t> kCancel;
const Calls kReadDone{"paint main window", kRead, "focus read button"};
const Calls kCancelled{"dialog", "spooler enumerate", "focus main window"};
using Printers = std::vector<SpoolerPrinter>;
using Turns = std::vector<std::optional<std::size_t>>;
using Ints = std::vector<int>;
constexpr StartupOutcome kDone = StartupOutcome::kReadFromPrinter;

// A port that blocks setup: message, then the dialog again, where the ready printer is chosen.
LoopCase Blocked(const char* name, const SpoolerPrinter& printer, int portState) {
  return LoopCase{
      name,
      Printers{printer, kReady},
      Turns{0, 1},
      Ints{1},
      Ints{},
      kDone,
      Join({Chosen(printer.printerName), Calls{Box(188, *PortStateMessageOf(portState))},
            Chosen("ready"), kReadDone})};
}

INSTANTIATE_TEST_SUITE_P(
    Paths, StartupLoop,
    ::testing::Values(
        LoopCase{"ReadAtOnce", Printers{kOther, kReady}, Turns{1}, Ints{1}, Ints{}, kDone,
                 Join({Chosen("ready"), kReadDone})},
        LoopCase{"LanPrinterGoesOnDespiteItsQueue", Printers{kLan}, Turns{0}, Ints{1}, Ints{},
                 kDone, Join({Chosen("lan"), kReadDone})},
        LoopCase{"Cancel", Printers{kReady}, Turns{kCancel}, Ints{}, Ints{},
                 StartupOutcome::kCancelled, kCancelled},
        LoopCase{"NoSupportedPrinter", Printers{kOther}, Turns{}, Ints{}, Ints{},
                 StartupOutcome::kNoSupportedPrinter,
                 Join({kCancelled, Calls{Box(187, msg::kNoSupportedPrinter)}})},
        LoopCase{"UnsupportedDriverThenChooseAgain", Printers{kOther, kReady}, Turns{0, 1}, Ints{1},
                 Ints{}, kDone,
                 Join({Chosen("other", false), Calls{Box(187, msg::kDriverNotSupported)},
                       Chosen("ready"), kReadDone})},
        Blocked("Paused", kPaused, 3), Blocked("OtherPort", kCom, 255),
        LoopCase{"JobsOnALocalPortThenCancel", Printers{kJobs}, Turns{0, kCancel}, Ints{}, Ints{},
                 StartupOutcome::kCancelled,
                 Join({Chosen("jobs"), Calls{Box(189, msg::kJobsWaiting)}, kCancelled})},
        LoopCase{"IppPortEndsTheStartUp", Printers{kIpp}, Turns{0}, Ints{}, Ints{},
                 StartupOutcome::kIppPort, Join({Chosen("ipp"), Calls{Box(187, msg::kIppPort)}})},
        LoopCase{"IppOnALanPortEndsTheStartUp", Printers{kIppLan}, Turns{0}, Ints{}, Ints{},
                 StartupOutcome::kIppPort,
                 Join({Chosen("ipplan"), Calls{Box(187, msg::kIppPort)}})},
        LoopCase{
            "OtherModelThenChooseAgain", Printers{kReady}, Turns{0, 0}, Ints{-1, 1}, Ints{}, kDone,
            Join({Chosen("ready"), Calls{"paint main window", kRead, Box(189, msg::kOtherModel)},
                  Chosen("ready"), kReadDone})},
        LoopCase{"ReadFailedAbort", Printers{kReady}, Turns{0}, Ints{0}, Ints{msg::kResultAbort},
                 StartupOutcome::kReadAbandoned,
                 Join({Chosen("ready"), Calls{"paint main window", kRead, kAsk}})},
        LoopCase{"ReadFailedRetry", Printers{kReady}, Turns{0, 0}, Ints{0, 1},
                 Ints{msg::kResultRetry}, kDone,
                 Join({Chosen("ready"), Calls{"paint main window", kRead, kAsk}, Chosen("ready"),
                       kReadDone})},
        LoopCase{"ReadFailedIgnoreLoadsTheWorkingCopy", Printers{kReady}, Turns{0}, Ints{0},
                 Ints{msg::kResultIgnore}, StartupOutcome::kWorkingCopy,
                 Join({Chosen("ready"),
                       Calls{"paint main window", kRead, kAsk, kLoad, "focus read button"}})},
        LoopCase{"WithoutADialogTheCurrentPrinterIsRead", Printers{}, Turns{}, Ints{1}, Ints{},
                 kDone, Join({Calls{"dialog", "focus main window"}, kReadDone}), false},
        // Going round again would read the same printer for ever.
        LoopCase{"WithoutADialogAnotherModelEndsTheStart", Printers{}, Turns{}, Ints{-1}, Ints{},
                 StartupOutcome::kOtherModelNoChoice,
                 Calls{"dialog", "focus main window", "paint main window", kRead,
                       Box(189, msg::kOtherModel)},
                 false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace rovant::ui
