// Printer selection, the readiness checks and the start-up loop, against a fake spooler.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/ui/ui_fakes.hpp"
#include "texts/selection_messages.hpp"
#include "ui/port_state.hpp"
#include "ui/printer_readiness.hpp"
#include "ui/printer_selection.hpp"
#include "ui/printer_table.hpp"
#include "ui/startup_selection.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::CallLog;
using testing::Calls;
using testing::Join;
using testing::kBidi;
using testing::Printer;
using Printers = std::vector<SpoolerPrinter>;

TEST(ClassifyPort, GivesTheFirstMatchingRule) {
  constexpr std::uint32_t kOffline = kAttributeWorkOffline;
  constexpr std::uint32_t kPaused = kStatusPaused;
  // name, port, attributes, status, separator file, port state
  const std::tuple<const char*, const char*, std::uint32_t, std::uint32_t, const char*, int>
      kRules[] = {
          {"LocalUsb", "USB001", kBidi, 0, "", kPortLocal},
          {"LptInsideName", "XLPTX", kBidi, 0, "", kPortLocal},
          {"OtherBitsDoNotMatter", "LPT1:", kBidi | 0x1000 | 0x4, 0x2 | 0x80, "", kPortLocal},
          {"LanPort", "IP_10.0.0.1:lp", 0, kPaused, "sep.sep", kPortLan},
          {"LanBeforeFile", "FILE:x:lp", 0, 0, "", kPortLan},
          {"LanBeforeLpt", "LPT1:lp", 0, 0, "", kPortLan},
          {"LanIsCaseSensitive", "IP:LP", kBidi, 0, "", kPortUnusable},
          {"FileBeforeLpt", "FILE:LPT1:", kBidi, 0, "", kPortFile},
          {"FileOnlyAtTheStart", "LPT1:,FILE:", kBidi, 0, "", kPortLocal},
          {"FileIsCaseSensitive", "file:", kBidi, 0, "", kPortUnusable},
          {"ComPort", "COM1:", kBidi, 0, "", kPortUnusable},
          {"EmptyPort", "", kBidi, 0, "", kPortUnusable},
          {"LowerCaseUsb", "usb001", kBidi, 0, "", kPortUnusable},
          {"IppPortWithoutLpt", "http://host:631/ipp/x", kBidi, 0, "", kPortUnusable},
          {"UnusablePortBeforeBidi", "COM1:", 0, kPaused, "s", kPortUnusable},
          {"NoBidi", "LPT1:", 0, 0, "", kPortNoBidi},
          {"NoBidiBeforePaused", "LPT1:", kOffline, kPaused, "s", kPortNoBidi},
          {"Paused", "USB001", kBidi, kPaused, "", kPortPaused},
          {"PausedBeforeOffline", "LPT1:", kBidi | kOffline, kPaused | 0x2, "s", kPortPaused},
          {"Offline", "LPT1:", kBidi | kOffline, 0, "", kPortOffline},
          {"OfflineBeforeSeparator", "LPT1:", kBidi | kOffline, 0, "s", kPortOffline},
          {"Separator", "LPT1:", kBidi, 0, "C:\\sep.sep", kPortSeparator},
          {"StatusOtherThanPaused", "LPT1:", kBidi, 0xFFFFFFFEu, "", kPortLocal}};
  for (const auto& [name, port, attributes, status, separator, expected] : kRules)
    EXPECT_EQ(ClassifyPort({port, attributes, status, separator}), expected) << name;
}

SpoolerPrinter WithWideName(SpoolerPrinter printer, std::u16string wide) {
  printer.printerNameWide = std::move(wide);
  return printer;
}

// Every text is copied, cut to 255 characters; only printers on a supported driver are classified.
TEST(PrinterTable, KeepsTheSpoolersOrderAndClassifiesSupportedDriversOnly) {
  using enum ModelCode;
  const SpoolerPrinter long_ =
      WithWideName(Printer(std::string(300, 'n'), "LPT1:" + std::string(300, 'p'),
                           "Vek HX320" + std::string(300, ' ')),
                   std::u16string(400, u'w'));
  // name, the spooler's printers, each one's model, port state and icon, any supported
  using Entries = std::vector<std::tuple<ModelCode, int, unsigned>>;
  const std::tuple<const char*, Printers, Entries, bool> kRows[] = {
      {"Hx310Local", {Printer("a", "LPT1:", "Vek HX310")}, {{kHx310, 0, 160}}, true},
      {"Lan", {Printer("a", "IP_1.2.3.4:lp", "Vek HX320", 0)}, {{kHx320, 1, 160}}, true},
      {"Paused", {Printer("a", "LPT1:", "Vek HX320", kBidi, 1)}, {{kHx320, 3, 188}}, true},
      // A port on another driver would block it, but it is not classified.
      {"OtherDriver", {Printer("a", "FILE:", "Generic / Text Only")}, {{kOther, 0, 187}}, false},
      {"DriverWholeName", {Printer("a", "LPT1:", "Vek HX320 (copy 1)")}, {{kOther, 0, 187}}, false},
      {"LongTexts", {long_}, {{kOther, 0, 187}}, false},
      {"InOrder",
       {Printer("one", "LPT1:", "Other"), Printer("two", "FILE:", "Vek HX310"),
        Printer("three", "COM1:", "Vek HX330")},
       {{kOther, 0, 187}, {kHx310, 2, 188}, {kOther, 0, 187}},
       true},
      {"None", Printers{}, Entries{}, false}};
  for (const auto& [name, printers, entries, anySupported] : kRows) {
    SCOPED_TRACE(name);
    const PrinterTable table = BuildPrinterTable(printers);
    EXPECT_EQ(table.anySupported, anySupported);
    ASSERT_EQ(table.entries.size(), entries.size());
    ASSERT_EQ(table.icons.size(), entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
      const PrinterEntry& entry = table.entries[k];
      EXPECT_EQ(std::tuple(entry.modelCode, entry.portState, table.icons[k]), entries[k]);
      EXPECT_EQ(entry.printerName, printers[k].printerName.substr(0, 255));
      EXPECT_EQ(entry.printerNameWide, printers[k].printerNameWide.substr(0, 255));
      EXPECT_EQ(entry.portName, printers[k].portName.substr(0, 255));
      EXPECT_EQ(entry.driverName, printers[k].driverName.substr(0, 255));
      EXPECT_EQ(entry.queuedJobs, 0u);  // counted only when the printer is chosen
      EXPECT_EQ(entry.lanPortName, "");
    }
  }
}

class Readiness : public testing::SelectionTest {
 protected:
  Readiness() {
    state.selectedPrinter = {"HX", u"", "LPT1:", kPortLocal, "Vek HX320", ModelCode::kHx320, 0, ""};
  }
};

// The printer is found by its wide name; only a failed open marks its port.
TEST_F(Readiness, RefreshStoresTheJobsAndThePortStateOfThePrinter) {
  state.selectedPrinter.printerNameWide = u"HX wide";
  state.selectedPrinter.queuedJobs = 7;
  spooler.printers = {
      Printer("HX"),
      WithWideName(Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 3), u"HX wide")};
  // the spooler's answer (done: by its printers), the result, the port state and jobs after it
  const std::tuple<SpoolerRead, RefreshResult, int, unsigned> cases[] = {
      {SpoolerRead::kUnreadable, kRefreshUnreadable, kPortLocal, 7},
      {SpoolerRead::kNoMemory, kRefreshNoMemory, kPortLocal, 7},
      {SpoolerRead::kCannotOpen, kRefreshCannotOpen, kPortUnusable, 7},
      {SpoolerRead::kDone, kRefreshDone, kPortPaused, 3}};
  for (const auto& [read, result, portState, jobs] : cases) {
    log.calls.clear();
    spooler.readResults = {read};
    EXPECT_EQ(RefreshPrinterState(context), result);
    EXPECT_EQ(state.selectedPrinter.portState, portState);
    EXPECT_EQ(state.selectedPrinter.queuedJobs, jobs);
    EXPECT_EQ(log.calls, Calls{"spooler read HX"});
  }
  EXPECT_TRUE(boxes.shown.empty());
}

constexpr auto kNo = std::nullopt;

TEST_F(Readiness, CheckGivesTheResultAndItsMessage) {
  const std::string_view kJobs = msg::kJobsWaiting;
  // name, the printer (none: gone), the spooler's answer, the result, the box's icon and text
  const std::tuple<const char*, std::optional<SpoolerPrinter>, std::optional<SpoolerRead>,
                   ReadyResult, std::optional<unsigned>, std::string_view>
      cases[] = {{"LocalReady", Printer("HX"), kNo, kReady, kNo, ""},
                 {"LanReady", Printer("HX", "IP:lp", "Vek HX320", 0), kNo, kReady, kNo, ""},
                 {"LocalJobs", Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 1), kNo,
                  kReadyJobsWaiting, 189u, kJobs},
                 {"LanJobs", Printer("HX", "IP:lp", "Vek HX320", 0, 0, "", 4), kNo,
                  kReadyJobsWaiting, 189u, kJobs},
                 {"Gone", kNo, kNo, kReadyPrinterGone, 188u, msg::kPrinterDeleted},
                 {"Unreadable", Printer("HX"), SpoolerRead::kUnreadable, kReadyUnreadable, kNo, ""},
                 {"NoMemory", Printer("HX"), SpoolerRead::kNoMemory, kReadyNoMemory, kNo, ""},
                 {"FilePort", Printer("HX", "FILE:"), kNo, kReadyPortInTheWay, 188u,
                  *PortStateMessageOf(2)},
                 // The port's message comes before the jobs are looked at.
                 {"PausedWithJobs", Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 5), kNo,
                  kReadyPortInTheWay, 188u, *PortStateMessageOf(3)}};
  for (const auto& [name, printer, read, result, icon, text] : cases) {
    SCOPED_TRACE(name);
    log.calls.clear();
    spooler.printers.assign(printer.has_value() ? 1 : 0, printer.value_or(SpoolerPrinter{}));
    if (read) spooler.readResults = {*read};
    EXPECT_EQ(CheckPrinterReady(context), result);
    Calls expected{"spooler read HX"};
    if (icon) expected.push_back(Box(*icon, text));
    EXPECT_EQ(log.calls, expected);
  }
  for (const MessageBoxRequest& shown : boxes.shown) EXPECT_EQ(shown.owner, testing::kMainWindow);
}

class Choosing : public testing::SelectionTest {
 protected:
  Choosing() {
    spooler.printers = {Printer("text", "LPT2:", "Generic / Text Only", kBidi, 0, "", 4),
                        Printer("first", "LPT1:", "Vek HX310", kBidi, 0, "", 2),
                        Printer("second", "USB001", "Vek HX320")};
    selection.Rebuild();
  }
  PrinterSelection selection{context};
};

TEST_F(Choosing, RebuildAsksTheSpoolerEachTime) {
  EXPECT_EQ(selection.table().entries.size(), 3u);
  spooler.printers.pop_back();
  EXPECT_EQ(selection.Rebuild().entries.size(), 2u);
  EXPECT_EQ(selection.table().entries.size(), 2u);
  EXPECT_EQ(log.calls, (Calls{"spooler enumerate", "spooler enumerate"}));
}

TEST_F(Choosing, NoRowOrOneOutsideShowsTheMessageAndStays) {
  const PrinterEntry before = state.selectedPrinter;
  for (const std::optional<std::size_t> row :
       {std::optional<std::size_t>{}, std::optional<std::size_t>{3}}) {
    log.calls.clear();
    EXPECT_FALSE(selection.Choose(row));
    EXPECT_EQ(log.calls, Calls{Box(189, msg::kNotSelected)});
    EXPECT_EQ(boxes.shown.back().owner, testing::kMainWindow);
    EXPECT_EQ(state.selectedPrinter.printerName, before.printerName);
    EXPECT_EQ(state.selectedPrinter.modelCode, ModelCode::kHx320);
  }
}

// A supported printer is refreshed, and every one's jobs counted, as at the moment of choosing.
TEST_F(Choosing, TheChosenPrinterIsTheSpoolersAtTheMoment) {
  using enum ModelCode;
  const Printers listed = spooler.printers;
  Printers paused = listed;
  paused[2].status = kStatusPaused;
  paused[2].jobCount = 1;
  using Reads = std::deque<SpoolerRead>;
  const Reads kFailedCount{SpoolerRead::kDone, SpoolerRead::kUnreadable};
  // name, the spooler's printers and answers, the row; the model, port state, jobs, calls
  const std::tuple<const char*, Printers, Reads, std::size_t, ModelCode, int, unsigned, Calls>
      cases[] = {
          {"Supported", listed, Reads{}, 1, kHx310, kPortLocal, 2,
           Calls{"spooler read first", "spooler read first"}},
          {"Unsupported", listed, Reads{}, 0, kOther, kPortLocal, 4, Calls{"spooler read text"}},
          {"PausedWhileTheDialogWasOpen", paused, Reads{}, 2, kHx320, kPortPaused, 1,
           Calls{"spooler read second", "spooler read second"}},
          {"FailedJobCountKeepsTheRefreshedOne", listed, kFailedCount, 1, kHx310, kPortLocal, 2,
           Calls{"spooler read first", "spooler read first"}},
          {"GoneSinceTheListWasBuilt", Printers{}, Reads{}, 2, kHx320, kPortUnusable, 0,
           Calls{"spooler read second", "spooler read second"}}};
  for (const auto& [name, printers, reads, row, model, portState, jobs, calls] : cases) {
    SCOPED_TRACE(name);
    spooler.printers = printers;
    spooler.readResults = reads;
    log.calls.clear();
    EXPECT_TRUE(selection.Choose(row));
    const PrinterEntry& chosen = state.selectedPrinter;
    EXPECT_EQ(chosen.printerName, listed[row].printerName);
    EXPECT_EQ(chosen.portName, listed[row].portName);
    EXPECT_EQ(chosen.modelCode, model);
    EXPECT_EQ(chosen.portState, portState);
    EXPECT_EQ(chosen.queuedJobs, jobs);
    EXPECT_EQ(log.calls, calls);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

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
    const std::optional<std::size_t> row = testing::Next(turns, std::optional<std::size_t>{});
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

const std::string kRead = testing::Op("read", ReadMode::kStartUp, testing::kMainWindow);
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
  PrinterSelection selection{context};
  FakeSelectionDialog dialog{log, selection};
  std::deque<int> reads;  // the results' values: 1 done, 0 failed, -1 another model
  StartupSelection startup{context, dialog, dialog,
                           [this](ReadMode mode, WindowRef owner) {
                             log.Add(testing::Op("read", mode, owner));
                             return static_cast<ReadResult>(testing::Next(reads, 0));
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
using Turns = std::vector<std::optional<std::size_t>>;
using Ints = std::vector<int>;
constexpr StartupOutcome kDone = StartupOutcome::kReadFromPrinter;

// A port that blocks setup: message, then the dialog again, where the ready printer is chosen.
LoopCase Blocked(const char* name, const SpoolerPrinter& printer, int portState) {
  const Calls calls =
      Join({Chosen(printer.printerName), Calls{Box(188, *PortStateMessageOf(portState))},
            Chosen("ready"), kReadDone});
  return {name, Printers{printer, kReady}, Turns{0, 1}, Ints{1}, Ints{}, kDone, calls};
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
