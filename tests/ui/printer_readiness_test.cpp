#include "ui/printer_readiness.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/ui/selection_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::Calls;
using testing::kBidi;
using testing::Printer;

class Readiness : public testing::SelectionTest {
 protected:
  Readiness() {
    state.selectedPrinter.printerName = "HX";
    state.selectedPrinter.portName = "LPT1:";
    state.selectedPrinter.driverName = "Vek HX320";
    state.selectedPrinter.portState = kPortLocal;
    state.selectedPrinter.queuedJobs = 0;
  }
};

TEST_F(Readiness, RefreshStoresJobsAndPortState) {
  spooler.printers = {Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 3)};
  EXPECT_EQ(RefreshPrinterState(context), kRefreshDone);
  EXPECT_EQ(state.selectedPrinter.portState, kPortPaused);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 3u);
  EXPECT_EQ(log.calls, Calls{"spooler read HX"});
}

TEST_F(Readiness, RefreshOpensByTheWideNameWhenThereIsOne) {
  state.selectedPrinter.printerNameWide = u"HX wide";
  SpoolerPrinter p = Printer("HX", "USB001");
  p.printerNameWide = u"HX wide";
  spooler.printers = {p};
  EXPECT_EQ(RefreshPrinterState(context), kRefreshDone);
  ASSERT_EQ(spooler.opened.size(), 1u);
  EXPECT_EQ(spooler.opened[0].wide, u"HX wide");
  EXPECT_EQ(spooler.opened[0].ansi, "HX");
}

struct RefreshFailure {
  const char* name;
  SpoolerRead read;
  RefreshResult result;
  int portStateAfter;
};

class RefreshFails : public Readiness, public ::testing::WithParamInterface<RefreshFailure> {};

TEST_P(RefreshFails, ReportsAndMarksOnlyAFailedOpen) {
  const RefreshFailure& c = GetParam();
  state.selectedPrinter.queuedJobs = 7;
  spooler.printers = {Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 2)};
  spooler.readResults = {c.read};
  EXPECT_EQ(RefreshPrinterState(context), c.result);
  EXPECT_EQ(state.selectedPrinter.portState, c.portStateAfter);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 7u);
  EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Results, RefreshFails,
    ::testing::Values(RefreshFailure{"CannotOpen", SpoolerRead::kCannotOpen, kRefreshCannotOpen,
                                     255},
                      RefreshFailure{"Unreadable", SpoolerRead::kUnreadable, kRefreshUnreadable, 0},
                      RefreshFailure{"NoMemory", SpoolerRead::kNoMemory, kRefreshNoMemory, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct ReadyCase {
  const char* name;
  std::optional<SpoolerPrinter> printer;  // nothing: the printer is gone
  std::optional<SpoolerRead> read;        // a scripted spooler answer
  ReadyResult result;
  std::optional<unsigned> icon;  // the box shown, if any
  std::string_view text;
};

class ReadyCheck : public Readiness, public ::testing::WithParamInterface<ReadyCase> {};

TEST_P(ReadyCheck, ResultAndMessage) {
  const ReadyCase& c = GetParam();
  if (c.printer) spooler.printers = {*c.printer};
  if (c.read) spooler.readResults = {*c.read};
  EXPECT_EQ(CheckPrinterReady(context), c.result);
  Calls expected{"spooler read HX"};
  if (c.icon) expected.push_back(Box(*c.icon, c.text));
  EXPECT_EQ(log.calls, expected);
  for (const MessageBoxRequest& shown : boxes.shown) EXPECT_EQ(shown.owner, testing::kMainWindow);
}

const std::string_view kJobs = msg::kJobsWaiting;
const std::string_view kGone = msg::kPrinterDeleted;

INSTANTIATE_TEST_SUITE_P(
    Paths, ReadyCheck,
    ::testing::Values(
        ReadyCase{"LocalReady", Printer("HX"), {}, kReady, {}, ""},
        ReadyCase{"LanReady", Printer("HX", "IP:lp", "Vek HX320", 0), {}, kReady, {}, ""},
        ReadyCase{"LocalJobs",
                  Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 1),
                  {},
                  kReadyJobsWaiting,
                  189u,
                  kJobs},
        ReadyCase{"LanJobs",
                  Printer("HX", "IP:lp", "Vek HX320", 0, 0, "", 4),
                  {},
                  kReadyJobsWaiting,
                  189u,
                  kJobs},
        ReadyCase{"Gone", std::nullopt, {}, kReadyPrinterGone, 188u, kGone},
        ReadyCase{"Unreadable", Printer("HX"), SpoolerRead::kUnreadable, kReadyUnreadable, {}, ""},
        ReadyCase{"NoMemory", Printer("HX"), SpoolerRead::kNoMemory, kReadyNoMemory, {}, ""},
        ReadyCase{"FilePort",
                  Printer("HX", "FILE:"),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(2)},
        ReadyCase{"Paused",
                  Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 5),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(3)},
        ReadyCase{"NoBidi",
                  Printer("HX", "LPT1:", "Vek HX320", 0),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(4)},
        ReadyCase{"Offline",
                  Printer("HX", "LPT1:", "Vek HX320", kBidi | 0x400),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(5)},
        ReadyCase{"Separator",
                  Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "p.sep"),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(6)},
        ReadyCase{"OtherPort",
                  Printer("HX", "COM2:"),
                  {},
                  kReadyPortInTheWay,
                  188u,
                  *PortStateMessageOf(255)}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Readiness, ThePortStateMessageIsShownBeforeTheJobsAreLookedAt) {
  spooler.printers = {Printer("HX", "FILE:", "Vek HX320", kBidi, 0, "", 9)};
  EXPECT_EQ(CheckPrinterReady(context), kReadyPortInTheWay);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, *PortStateMessageOf(2));
}

TEST_F(Readiness, APrinterPausedAfterSelectionIsRefused) {
  spooler.printers = {Printer("HX")};
  EXPECT_EQ(CheckPrinterReady(context), kReady);
  spooler.printers[0].status = kStatusPaused;
  EXPECT_EQ(CheckPrinterReady(context), kReadyPortInTheWay);
  spooler.printers[0].status = 0;
  EXPECT_EQ(CheckPrinterReady(context), kReady);
  EXPECT_EQ(log.calls, (Calls{"spooler read HX", "spooler read HX",
                              Box(188, *PortStateMessageOf(3)), "spooler read HX"}));
}

TEST_F(Readiness, AJobLeftInTheQueueBlocksUntilItIsGone) {
  spooler.printers = {Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 1)};
  EXPECT_EQ(CheckPrinterReady(context), kReadyJobsWaiting);
  EXPECT_EQ(CheckPrinterReady(context), kReadyJobsWaiting);
  spooler.printers[0].jobCount = 0;
  EXPECT_EQ(CheckPrinterReady(context), kReady);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 0u);
}

}  // namespace
}  // namespace rovant::ui
