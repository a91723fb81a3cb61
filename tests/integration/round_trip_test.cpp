// The read and write operations against the simulated printer, through the
// same link the command-line tool uses, on a virtual clock.
#include <gtest/gtest.h>

#include <random>

#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/simulated_printer.hpp"
#include "sim/simulator_link.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

class RoundTrip : public testing::OperationTest, public ::testing::WithParamInterface<ModelCode> {
 protected:
  RoundTrip() { state.selectedPrinter.modelCode = GetParam(); }

  ReadResult Read(ReadMode mode) { return ReadPrinterSettings(mode, 1, viaSim); }
  WriteResult Write(WriteMode mode) { return WritePrinterSettings(mode, 1, viaSim); }

  sim::SimulatedPrinter printer{GetParam(), kFactoryDefaults};
  sim::SimulatorLink simLink{printer, clock};
  PrinterOperationContext viaSim{state, simLink, clock, host, cursor, boxes, pages};
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

INSTANTIATE_TEST_SUITE_P(Models, RoundTrip,
                         ::testing::Values(ModelCode::kHx310, ModelCode::kHx320));

}  // namespace
}  // namespace rovant
