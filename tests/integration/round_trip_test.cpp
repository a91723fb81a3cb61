// The read and write operations against the simulated printer, through the
// same link the command-line tool uses, on a virtual clock.
#include <gtest/gtest.h>

#include <random>

#include "model/catalogue.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/simulated_printer.hpp"
#include "sim/simulator_link.hpp"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

class RoundTrip : public ::testing::TestWithParam<ModelCode> {
 protected:
  RoundTrip() : printer(GetParam(), kFactoryDefaults), link(printer, clock) {
    state.selectedPrinter.modelCode = GetParam();
    state.settings = kFactoryDefaults;
  }

  ReadResult Read(ReadMode mode) { return ReadPrinterSettings(mode, 1, context); }
  WriteResult Write(WriteMode mode) { return WritePrinterSettings(mode, 1, context); }

  testing::CallLog log;
  testing::FakeClock clock{log};
  testing::FakeOperationHost host{log};
  testing::FakeCursor cursor{log};
  testing::FakeMessageBoxes boxes{log};
  AppState state;
  testing::FakePageStore pages{log, state.settings};
  sim::SimulatedPrinter printer;
  sim::SimulatorLink link;
  PrinterOperationContext context{state, link, clock, host, cursor, boxes, pages};
};

TEST_P(RoundTrip, TransferThenReadGivesBackEverySentItem) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const SettingsRecord sent = testing::RandomRecord(rng);
    state.settings = sent;
    ASSERT_EQ(Write(WriteMode::kTransfer), WriteResult::kDone);
    EXPECT_EQ(printer.memory(), printer.current());
    ASSERT_EQ(Read(ReadMode::kRead), ReadResult::kDone);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
    for (ItemIndex i = 0; i < kItemCount; ++i) {
      if (IsSentNow(i, sent, GetParam())) {
        ASSERT_EQ(state.settings[i], sent[i]) << "round " << round << " item " << i;
      }
    }
  }
}

TEST_P(RoundTrip, StartUpReadFindsTheModel) {
  EXPECT_EQ(Read(ReadMode::kStartUp), ReadResult::kDone);
  EXPECT_EQ(state.connectedModel, static_cast<int>(GetParam()));
  state.selectedPrinter.modelCode =
      GetParam() == ModelCode::kHx310 ? ModelCode::kHx320 : ModelCode::kHx310;
  EXPECT_EQ(Read(ReadMode::kStartUp), ReadResult::kOtherModel);
}

TEST_P(RoundTrip, FactoryDefaultThenReadGivesTheFactoryDefaults) {
  std::mt19937 rng(11);
  state.settings = testing::RandomRecord(rng);
  ASSERT_EQ(Write(WriteMode::kTransfer), WriteResult::kDone);
  ASSERT_NE(printer.memory(), kFactoryDefaults);
  ASSERT_EQ(Write(WriteMode::kFactoryDefault), WriteResult::kDone);
  EXPECT_EQ(printer.memory(), kFactoryDefaults);
  state.settings.fill(0);
  ASSERT_EQ(Read(ReadMode::kAfterDefault), ReadResult::kDone);
  EXPECT_EQ(state.settings, kFactoryDefaults);
}

TEST_P(RoundTrip, ListPrintingPrintsOnPaperAndChangesNothing) {
  ASSERT_EQ(Write(WriteMode::kListPrint), WriteResult::kDone);
  EXPECT_NE(printer.paper().find("PITCH"), std::string::npos);
  EXPECT_EQ(printer.memory(), kFactoryDefaults);
  EXPECT_NE(std::find(log.calls.begin(), log.calls.end(), "print finished dialog"),
            log.calls.end());
}

TEST_P(RoundTrip, BadValuesAreReportedOnceEachInReplyOrder) {
  printer.faults().badValues = {78, 4, 60};
  ASSERT_EQ(Read(ReadMode::kRead), ReadResult::kDone);
  ASSERT_EQ(boxes.shown.size(), 3u);
  // The printer sends its lines in catalogue order.
  EXPECT_NE(boxes.shown[0].text.find("\n\nLINE-SP\n\n"), std::string::npos);
  EXPECT_NE(boxes.shown[1].text.find("\n\nCNT-ORG\n\n"), std::string::npos);
  EXPECT_NE(boxes.shown[2].text.find("\n\nLOCL\n\n"), std::string::npos);
}

TEST_P(RoundTrip, SwitchedOffPrinterFailsWithoutMarkingTheNextExchange) {
  printer.faults().switchedOff = true;
  EXPECT_EQ(Write(WriteMode::kTransfer), WriteResult::kFailed);
  EXPECT_EQ(Read(ReadMode::kRead), ReadResult::kFailed);
  EXPECT_FALSE(state.noResponsePending) << "the online sequence itself was refused";
}

TEST_P(RoundTrip, RefusedCommandMakesTheNextExchangeWait) {
  printer.faults().refuseSend = 2;  // the list command after the online sequence
  EXPECT_EQ(Write(WriteMode::kListPrint), WriteResult::kFailed);
  EXPECT_TRUE(state.noResponsePending);
  EXPECT_TRUE(printer.paper().empty());
  printer.faults().refuseSend = 0;
  clock.total = 0;
  EXPECT_EQ(Read(ReadMode::kRead), ReadResult::kDone);
  EXPECT_EQ(clock.total, 5000u + 2000u + 1200u);
  EXPECT_FALSE(state.noResponsePending);
}

TEST_P(RoundTrip, ReplyWithoutSettingsAndOversizedRepliesAreHandled) {
  printer.faults().noSettingsMarker = true;
  state.settings.fill(0);
  EXPECT_EQ(Read(ReadMode::kRead), ReadResult::kFailed);
  EXPECT_EQ(state.settings, SettingsRecord{});
  printer.faults().noSettingsMarker = false;
  printer.faults().oversizeReply = true;
  printer.faults().noise = true;
  EXPECT_EQ(Read(ReadMode::kRead), ReadResult::kDone);
  EXPECT_EQ(host.logged.back().size(), 4096u);
}

INSTANTIATE_TEST_SUITE_P(Models, RoundTrip,
                         ::testing::Values(ModelCode::kHx310, ModelCode::kHx320));

}  // namespace
}  // namespace rovant
