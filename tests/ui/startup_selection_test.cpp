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
using testing::kBidi;
using testing::Printer;

// The user in the dialog: the rows focused at each OK of one showing, or Cancel.
struct DialogTurn {
  std::vector<std::optional<std::size_t>> okRows;  // empty: Cancel
};

// A selection dialog driven by the real selection logic and a scripted user.
class FakeSelectionDialog final : public SelectionDialogRunner {
 public:
  FakeSelectionDialog(CallLog& log, PrinterSelection& selection)
      : log_(log), selection_(selection) {}
  Outcome Run() override {
    log_.Add("dialog");
    if (!shows) return {SelectionResult::kNotShown, {}};
    if (!selection_.Rebuild().anySupported) return {SelectionResult::kNoSupportedPrinter, {}};
    DialogTurn turn = turns.empty() ? DialogTurn{} : turns.front();
    if (!turns.empty()) turns.pop_front();
    for (const std::optional<std::size_t>& row : turn.okRows) {
      if (selection_.Choose(row)) return {SelectionResult::kChosen, row};
    }
    return {SelectionResult::kCancelled, {}};
  }
  std::deque<DialogTurn> turns;
  bool shows = true;

 private:
  CallLog& log_;
  PrinterSelection& selection_;
};

class FakeStartupWindow final : public StartupWindow {
 public:
  explicit FakeStartupWindow(CallLog& log) : log_(log) {}
  void FocusMainWindow() override { log_.Add("focus main window"); }
  void PaintMainWindow() override { log_.Add("paint main window"); }
  void FocusReadButton() override { log_.Add("focus read button"); }

 private:
  CallLog& log_;
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

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct LoopCase {
  const char* name;
  std::vector<SpoolerPrinter> printers;
  std::vector<DialogTurn> turns;
  std::vector<int> reads;    // results of the successive reads
  std::vector<int> answers;  // buttons of the successive boxes
  StartupOutcome outcome;
  Calls calls;
};

class StartupLoop : public testing::SelectionTest, public ::testing::WithParamInterface<LoopCase> {
 protected:
  StartupLoop() { state.selectedPrinter.modelCode = ModelCode::kHx320; }

  StartupOutcome Run() {
    const LoopCase& c = GetParam();
    spooler.printers = c.printers;
    dialog.turns.assign(c.turns.begin(), c.turns.end());
    reads.assign(c.reads.begin(), c.reads.end());
    boxes.answers.assign(c.answers.begin(), c.answers.end());
    return RunStartupSelection(startup);
  }

  PrinterSelection selection{context};
  FakeSelectionDialog dialog{log, selection};
  FakeStartupWindow window{log};
  std::deque<int> reads;  // the results' values: 1 done, 0 failed, -1 another model
  StartupSelection startup{context, dialog, window,
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
  EXPECT_EQ(Run(), c.outcome);
  EXPECT_EQ(log.calls, c.calls);
  for (const MessageBoxRequest& shown : boxes.shown) EXPECT_EQ(shown.owner, testing::kMainWindow);
  EXPECT_TRUE(reads.empty()) << "every scripted read happened";
  EXPECT_TRUE(dialog.turns.empty()) << "every scripted showing happened";
}

const SpoolerPrinter kReady = Printer("ready");
const SpoolerPrinter kLan = Printer("lan", "IP_1.1.1.1:lp", "Vek HX310", 0, 0, "", 3);
const SpoolerPrinter kOther = Printer("other", "LPT1:", "Generic / Text Only");
const SpoolerPrinter kFile = Printer("file", "FILE:");
const SpoolerPrinter kPaused = Printer("paused", "LPT1:", "Vek HX320", kBidi, 1);
const SpoolerPrinter kNoBidi = Printer("nobidi", "LPT1:", "Vek HX320", 0);
const SpoolerPrinter kOffline = Printer("offline", "LPT1:", "Vek HX320", kBidi | 0x400);
const SpoolerPrinter kSeparator = Printer("sep", "LPT1:", "Vek HX320", kBidi, 0, "s.sep");
const SpoolerPrinter kCom = Printer("com", "COM1:");
const SpoolerPrinter kJobs = Printer("jobs", "USB001", "Vek HX320", kBidi, 0, "", 2);
const SpoolerPrinter kIpp = Printer("ipp", "LPT1:/ipp/x");
const SpoolerPrinter kIppLan = Printer("ipplan", "http://h:lp/ipp", "Vek HX320", 0);

DialogTurn Ok(std::size_t row) { return DialogTurn{{row}}; }
const DialogTurn kCancel{};

// A port that blocks setup: message, then the dialog again, where the ready printer is chosen.
LoopCase Blocked(const char* name, const SpoolerPrinter& printer, int portState) {
  return LoopCase{
      name,
      {printer, kReady},
      {Ok(0), Ok(1)},
      {1},
      {},
      StartupOutcome::kReadFromPrinter,
      Join({Chosen(printer.printerName), Calls{Box(188, *PortStateMessageOf(portState))},
            Chosen("ready"), Calls{"paint main window", kRead, "focus read button"}})};
}

INSTANTIATE_TEST_SUITE_P(
    Paths, StartupLoop,
    ::testing::Values(
        LoopCase{"ReadAtOnce",
                 {kOther, kReady},
                 {Ok(1)},
                 {1},
                 {},
                 StartupOutcome::kReadFromPrinter,
                 Join({Chosen("ready"), {"paint main window", kRead, "focus read button"}})},
        LoopCase{"LanPrinterGoesOnDespiteItsQueue",
                 {kLan},
                 {Ok(0)},
                 {1},
                 {},
                 StartupOutcome::kReadFromPrinter,
                 Join({Chosen("lan"), {"paint main window", kRead, "focus read button"}})},
        LoopCase{"Cancel",
                 {kReady},
                 {kCancel},
                 {},
                 {},
                 StartupOutcome::kCancelled,
                 {"dialog", "spooler enumerate", "focus main window"}},
        LoopCase{"NoSupportedPrinter",
                 {kOther},
                 {},
                 {},
                 {},
                 StartupOutcome::kNoSupportedPrinter,
                 {"dialog", "spooler enumerate", "focus main window",
                  Box(187, msg::kNoSupportedPrinter)}},
        LoopCase{"NoPrinterAtAll",
                 {},
                 {},
                 {},
                 {},
                 StartupOutcome::kNoSupportedPrinter,
                 {"dialog", "spooler enumerate", "focus main window",
                  Box(187, msg::kNoSupportedPrinter)}},
        LoopCase{"OkWithoutRowStaysInTheDialog",
                 {kReady},
                 {DialogTurn{{std::nullopt, 0}}},
                 {1},
                 {},
                 StartupOutcome::kReadFromPrinter,
                 {"dialog", "spooler enumerate", Box(189, msg::kNotSelected), "spooler read ready",
                  "spooler read ready", "focus main window", "paint main window", kRead,
                  "focus read button"}},
        LoopCase{"UnsupportedDriverThenChooseAgain",
                 {kOther, kReady},
                 {Ok(0), Ok(1)},
                 {1},
                 {},
                 StartupOutcome::kReadFromPrinter,
                 Join({Chosen("other", false),
                       {Box(187, msg::kDriverNotSupported)},
                       Chosen("ready"),
                       {"paint main window", kRead, "focus read button"}})},
        Blocked("FilePort", kFile, 2), Blocked("Paused", kPaused, 3), Blocked("NoBidi", kNoBidi, 4),
        Blocked("Offline", kOffline, 5), Blocked("Separator", kSeparator, 6),
        Blocked("OtherPort", kCom, 255),
        LoopCase{"JobsOnALocalPortThenCancel",
                 {kJobs},
                 {Ok(0), kCancel},
                 {},
                 {},
                 StartupOutcome::kCancelled,
                 Join({Chosen("jobs"),
                       {Box(189, msg::kJobsWaiting)},
                       {"dialog", "spooler enumerate", "focus main window"}})},
        LoopCase{"IppPortEndsTheStartUp",
                 {kIpp},
                 {Ok(0)},
                 {},
                 {},
                 StartupOutcome::kIppPort,
                 Join({Chosen("ipp"), {Box(187, msg::kIppPort)}})},
        LoopCase{"IppOnALanPortEndsTheStartUp",
                 {kIppLan},
                 {Ok(0)},
                 {},
                 {},
                 StartupOutcome::kIppPort,
                 Join({Chosen("ipplan"), {Box(187, msg::kIppPort)}})},
        LoopCase{"OtherModelThenChooseAgain",
                 {kReady},
                 {Ok(0), Ok(0)},
                 {-1, 1},
                 {},
                 StartupOutcome::kReadFromPrinter,
                 Join({Chosen("ready"),
                       {"paint main window", kRead, Box(189, msg::kOtherModel)},
                       Chosen("ready"),
                       {"paint main window", kRead, "focus read button"}})},
        LoopCase{"ReadFailedAbort",
                 {kReady},
                 {Ok(0)},
                 {0},
                 {msg::kResultAbort},
                 StartupOutcome::kReadAbandoned,
                 Join({Chosen("ready"), {"paint main window", kRead, kAsk}})},
        LoopCase{"ReadFailedRetry",
                 {kReady},
                 {Ok(0), Ok(0)},
                 {0, 1},
                 {msg::kResultRetry},
                 StartupOutcome::kReadFromPrinter,
                 Join({Chosen("ready"),
                       {"paint main window", kRead, kAsk},
                       Chosen("ready"),
                       {"paint main window", kRead, "focus read button"}})},
        LoopCase{"ReadFailedRetryThenCancel",
                 {kReady},
                 {Ok(0), kCancel},
                 {0},
                 {msg::kResultRetry},
                 StartupOutcome::kCancelled,
                 Join({Chosen("ready"),
                       {"paint main window", kRead, kAsk},
                       {"dialog", "spooler enumerate", "focus main window"}})},
        LoopCase{"ReadFailedIgnoreLoadsTheWorkingCopy",
                 {kReady},
                 {Ok(0)},
                 {0},
                 {msg::kResultIgnore},
                 StartupOutcome::kWorkingCopy,
                 Join({Chosen("ready"),
                       {"paint main window", kRead, kAsk, kLoad, "focus read button"}})}),
    [](const auto& p) { return std::string(p.param.name); });

class Startup : public StartupLoop {};

TEST_F(Startup, TheChosenPrinterIsTheOneReadAndItsModelIsFixed) {
  spooler.printers = {Printer("a", "LPT1:", "Vek HX320"), Printer("b", "USB001", "Vek HX310")};
  dialog.turns = {Ok(1)};
  reads = {1};
  EXPECT_EQ(RunStartupSelection(startup), StartupOutcome::kReadFromPrinter);
  EXPECT_EQ(state.selectedPrinter.printerName, "b");
  EXPECT_EQ(state.selectedPrinter.modelCode, ModelCode::kHx310);
  EXPECT_EQ(state.selectedPrinter.portState, kPortLocal);
}

TEST_F(Startup, WithoutADialogTheCurrentPrinterIsRead) {
  dialog.shows = false;
  reads = {1};
  EXPECT_EQ(RunStartupSelection(startup), StartupOutcome::kReadFromPrinter);
  EXPECT_EQ(log.calls, (Calls{"dialog", "focus main window", "paint main window", kRead,
                              "focus read button"}));
}

TEST_F(Startup, WithoutADialogAnotherModelEndsTheStartInsteadOfLooping) {
  dialog.shows = false;
  reads = {-1, -1, 1};
  EXPECT_EQ(RunStartupSelection(startup), StartupOutcome::kOtherModelNoChoice);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, msg::kOtherModel);
  EXPECT_EQ(reads.size(), 2u) << "one read only";
}

TEST(StartupOutcomes, OnlyAReadOrTheWorkingCopySucceed) {
  EXPECT_TRUE(StartupSucceeded(StartupOutcome::kReadFromPrinter));
  EXPECT_TRUE(StartupSucceeded(StartupOutcome::kWorkingCopy));
  EXPECT_FALSE(StartupSucceeded(StartupOutcome::kCancelled));
  EXPECT_FALSE(StartupSucceeded(StartupOutcome::kNoSupportedPrinter));
  EXPECT_FALSE(StartupSucceeded(StartupOutcome::kIppPort));
  EXPECT_FALSE(StartupSucceeded(StartupOutcome::kReadAbandoned));
  EXPECT_FALSE(StartupSucceeded(StartupOutcome::kOtherModelNoChoice));
}

}  // namespace
}  // namespace rovant::ui
