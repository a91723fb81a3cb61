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

TEST_F(Readiness, RefreshStoresJobsAndPortStateOfThePrinterByItsWideName) {
  state.selectedPrinter.printerNameWide = u"HX wide";
  SpoolerPrinter p = Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 3);
  p.printerNameWide = u"HX wide";
  spooler.printers = {Printer("HX"), p};
  EXPECT_EQ(RefreshPrinterState(context), kRefreshDone);
  EXPECT_EQ(state.selectedPrinter.portState, kPortPaused);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 3u);
  EXPECT_EQ(log.calls, Calls{"spooler read HX"});
}

TEST_F(Readiness, AFailedRefreshIsReportedAndOnlyAFailedOpenMarksThePort) {
  const struct {
    SpoolerRead read;
    RefreshResult result;
    int portStateAfter;
  } cases[] = {{SpoolerRead::kUnreadable, kRefreshUnreadable, kPortLocal},
               {SpoolerRead::kNoMemory, kRefreshNoMemory, kPortLocal},
               {SpoolerRead::kCannotOpen, kRefreshCannotOpen, kPortUnusable}};
  state.selectedPrinter.queuedJobs = 7;
  spooler.printers = {Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 2)};
  for (const auto& c : cases) {
    spooler.readResults = {c.read};
    EXPECT_EQ(RefreshPrinterState(context), c.result);
    EXPECT_EQ(state.selectedPrinter.portState, c.portStateAfter);
    EXPECT_EQ(state.selectedPrinter.queuedJobs, 7u);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

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

constexpr auto kNo = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Paths, ReadyCheck,
    ::testing::Values(
        ReadyCase{"LocalReady", Printer("HX"), kNo, kReady, kNo, ""},
        ReadyCase{"LanReady", Printer("HX", "IP:lp", "Vek HX320", 0), kNo, kReady, kNo, ""},
        ReadyCase{"LocalJobs", Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 1), kNo,
                  kReadyJobsWaiting, 189u, kJobs},
        ReadyCase{"LanJobs", Printer("HX", "IP:lp", "Vek HX320", 0, 0, "", 4), kNo,
                  kReadyJobsWaiting, 189u, kJobs},
        ReadyCase{"Gone", kNo, kNo, kReadyPrinterGone, 188u, kGone},
        ReadyCase{"Unreadable", Printer("HX"), SpoolerRead::kUnreadable, kReadyUnreadable, kNo, ""},
        ReadyCase{"NoMemory", Printer("HX"), SpoolerRead::kNoMemory, kReadyNoMemory, kNo, ""},
        ReadyCase{"FilePort", Printer("HX", "FILE:"), kNo, kReadyPortInTheWay, 188u,
                  *PortStateMessageOf(2)},
        // The port's message comes before the jobs are looked at.
        ReadyCase{"PausedWithJobs", Printer("HX", "LPT1:", "Vek HX320", kBidi, 1, "", 5), kNo,
                  kReadyPortInTheWay, 188u, *PortStateMessageOf(3)}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Readiness, EachCheckAsksTheSpoolerAgain) {
  spooler.printers = {Printer("HX", "LPT1:", "Vek HX320", kBidi, 0, "", 1)};
  EXPECT_EQ(CheckPrinterReady(context), kReadyJobsWaiting);
  spooler.printers[0].jobCount = 0;
  EXPECT_EQ(CheckPrinterReady(context), kReady);
  spooler.printers[0].status = kStatusPaused;
  EXPECT_EQ(CheckPrinterReady(context), kReadyPortInTheWay);
}

}  // namespace
}  // namespace rovant::ui
