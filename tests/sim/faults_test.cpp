// Every fault the simulator can be told to play.
#include <gtest/gtest.h>

#include <random>

#include "protocol/reply_parser.hpp"
#include "sim/settings_lines.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using testing::Collect;
using testing::RandomRecord;
using testing::Session;

std::string Without(std::string text, std::string_view junk) {
  for (std::size_t at = text.find(junk); at != std::string::npos; at = text.find(junk, at)) {
    text.erase(at, junk.size());
  }
  return text;
}

const std::string kCleanReply320 = "?MODEL  :HX320  \r\n?VER    :1.02   \r\n?NVRAM  :" +
                                   SettingsLines(kFactoryDefaults, ModelCode::kHx320);

TEST(SimFaults, SwitchedOffRefusesEverything) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().switchedOff = true;
  EXPECT_FALSE(printer.Accept(wire::kOnlineSequence));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_FALSE(printer.Accept("?MODEL  \r"));
  std::array<char, kReplyLimit> buffer{};
  std::size_t length = 7;
  EXPECT_FALSE(printer.Reply(buffer, length));
  EXPECT_EQ(length, 0u);
}

TEST(SimFaults, RefusedSendIsTheNthOfEachSessionAndTakesNothing) {
  std::mt19937 rng(3);
  const SettingsRecord start = RandomRecord(rng);
  SimulatedPrinter printer(ModelCode::kHx320, start);
  printer.faults().refuseSend = 2;
  for (int session = 0; session < 2; ++session) {
    EXPECT_TRUE(printer.Accept(wire::kOnlineSequence));
    EXPECT_FALSE(printer.Accept(wire::kDefault)) << "session " << session;
    EXPECT_EQ(printer.current(), start);
    EXPECT_TRUE(printer.Accept("?VER    \r"));
    EXPECT_TRUE(printer.Accept("?VER    \r"));
    EXPECT_EQ(Collect(printer), "?VER    :1.02   \r\n?VER    :1.02   \r\n");
    printer.EndSession();
  }
}

TEST(SimFaults, RefusedOnlineSequenceLeavesThePrinterOutOfSetup) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().refuseSend = 1;
  EXPECT_FALSE(printer.Accept(wire::kOnlineSequence));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_TRUE(printer.Accept("?VER    \r"));
  EXPECT_EQ(Collect(printer), "");
}

TEST(SimFaults, ReportedModelAnswersTheModelQuery) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().reportedModel = ModelCode::kHx310;
  EXPECT_EQ(Session(printer, {"?MODEL  \r"}), "?MODEL  :HX310  \r\n");
  EXPECT_EQ(printer.model(), ModelCode::kHx320);
}

TEST(SimFaults, BadValuesAreGarbled) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().badValues = {3, 42};
  const std::string reply = Session(printer, {"?NVRAM  \r"});
  EXPECT_NE(reply.find("MENU1   :PITCH   :???????\r\n"), std::string::npos);
  EXPECT_NE(reply.find("MENU2   :ZEROFNT :???????\r\n"), std::string::npos);
  EXPECT_NE(reply.find("MENU2   :PITCH   :10 CPI \r\n"), std::string::npos);
  EXPECT_EQ(reply.size(), 9 + 86 * kSettingsLineWidth);
  EXPECT_EQ(Without(reply, "???????").size(), reply.size() - 14);
}

TEST(SimFaults, NoiseGoesBetweenLinesOnly) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().noise = true;
  const std::string reply = Session(printer, {wire::kQueryModelVersionSettings});
  EXPECT_NE(reply, kCleanReply320);
  EXPECT_EQ(Without(reply, kNoise), kCleanReply320);
  EXPECT_NE(reply.find("\r\n" + std::string(kNoise) + "MENU1   :FONT    :"), std::string::npos);
}

TEST(SimFaults, OversizeReplyIsCutAt4096) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().oversizeReply = true;
  const std::string reply = Session(printer, {wire::kQueryModelVersionSettings});
  EXPECT_EQ(reply.size(), kReplyLimit);
  EXPECT_EQ(reply.substr(0, kCleanReply320.size()), kCleanReply320);
}

TEST(SimFaults, OversizeNeedsSomethingToPad) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().oversizeReply = true;
  EXPECT_EQ(Session(printer, {wire::kSaveExit}), "");
}

TEST(SimFaults, NoSettingsMarker) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().noSettingsMarker = true;
  const std::string reply = Session(printer, {"?NVRAM  \r"});
  EXPECT_EQ(reply, "?NVRM   :" + SettingsLines(kFactoryDefaults, ModelCode::kHx320));
  EXPECT_EQ(reply.find("?NVRAM  "), std::string::npos);
}

TEST(SimFaults, SlowAnswerIsOnlyStored) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().slowAnswerMs = 500;
  EXPECT_EQ(Session(printer, {"?VER    \r"}), "?VER    :1.02   \r\n");
}

// Faults the host's parser must live with: noise costs nothing, garbled values are reported.
TEST(SimFaults, HostParserReadsThroughNoiseAndReportsBadValues) {
  std::mt19937 rng(11);
  const SettingsRecord record = RandomRecord(rng);
  SimulatedPrinter printer(ModelCode::kHx320, record);
  printer.faults().noise = true;
  printer.faults().badValues = {kTearOffItem};
  const std::string reply = Session(printer, {wire::kQuerySettings});
  ReplyBuffer buffer{};
  ASSERT_LE(reply.size(), buffer.size());
  std::copy(reply.begin(), reply.end(), buffer.begin());
  const ParsedReply parsed =
      ParseReply(buffer, reply.size(), ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  ASSERT_EQ(parsed.result, ReadResult::kDone);
  EXPECT_EQ(parsed.reportedCodes.size(), 1u);
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (item == kStatusItem || item == kTearOffItem) continue;
    EXPECT_EQ(parsed.staging[item], record[item]) << item;
  }
}

}  // namespace
}  // namespace rovant::sim
