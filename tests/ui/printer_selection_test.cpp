#include "ui/printer_selection.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "tests/ui/selection_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::Calls;
using testing::kBidi;
using testing::Printer;

class Choosing : public testing::SelectionTest {
 protected:
  Choosing() {
    spooler.printers = {Printer("text", "LPT2:", "Generic / Text Only", kBidi, 0, "", 4),
                        Printer("first", "LPT1:", "Vek HX310", kBidi, 0, "", 2),
                        Printer("second", "USB001", "Vek HX320")};
  }
  PrinterSelection selection{context};
};

TEST_F(Choosing, RebuildAsksTheSpoolerEachTime) {
  EXPECT_EQ(selection.Rebuild().entries.size(), 3u);
  spooler.printers.pop_back();
  EXPECT_EQ(selection.Rebuild().entries.size(), 2u);
  EXPECT_EQ(selection.table().entries.size(), 2u);
  EXPECT_EQ(log.calls, (Calls{"spooler enumerate", "spooler enumerate"}));
}

TEST_F(Choosing, NoRowOrOneOutsideShowsTheMessageAndStays) {
  selection.Rebuild();
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

TEST_F(Choosing, ASupportedPrinterIsRefreshedAndItsJobsCounted) {
  selection.Rebuild();
  EXPECT_TRUE(selection.Choose(1));
  const PrinterEntry& chosen = state.selectedPrinter;
  EXPECT_EQ(chosen.printerName, "first");
  EXPECT_EQ(chosen.portName, "LPT1:");
  EXPECT_EQ(chosen.modelCode, ModelCode::kHx310);
  EXPECT_EQ(chosen.portState, kPortLocal);
  EXPECT_EQ(chosen.queuedJobs, 2u);
  EXPECT_EQ(log.calls, (Calls{"spooler enumerate", "spooler read first", "spooler read first"}));
}

TEST_F(Choosing, AnUnsupportedPrinterIsNotRefreshedButItsJobsAreCounted) {
  selection.Rebuild();
  EXPECT_TRUE(selection.Choose(0));
  EXPECT_EQ(state.selectedPrinter.modelCode, ModelCode::kOther);
  EXPECT_EQ(state.selectedPrinter.portState, kPortLocal);  // not classified
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 4u);
  EXPECT_EQ(log.calls, (Calls{"spooler enumerate", "spooler read text"}));
}

TEST_F(Choosing, TheStateIsTheSpoolersAtTheMomentOfChoosing) {
  selection.Rebuild();
  spooler.printers[2].status = kStatusPaused;  // paused while the dialog was open
  spooler.printers[2].jobCount = 1;
  EXPECT_TRUE(selection.Choose(2));
  EXPECT_EQ(state.selectedPrinter.portState, kPortPaused);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 1u);
}

TEST_F(Choosing, APrinterGoneSinceTheListWasBuiltIsMarkedUnusable) {
  selection.Rebuild();
  spooler.printers.clear();
  EXPECT_TRUE(selection.Choose(2));
  EXPECT_EQ(state.selectedPrinter.portState, kPortUnusable);
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 0u);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Choosing, AFailedJobCountKeepsTheRefreshedOne) {
  selection.Rebuild();
  spooler.readResults = {SpoolerRead::kDone, SpoolerRead::kUnreadable};
  EXPECT_TRUE(selection.Choose(1));
  EXPECT_EQ(state.selectedPrinter.queuedJobs, 2u);
}

}  // namespace
}  // namespace rovant::ui
