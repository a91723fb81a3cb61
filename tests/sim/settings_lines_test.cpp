// The settings lines of "?NVRAM  ": layout, order, the models' differences,
// and what the host's reply parser makes of them.
#include "sim/settings_lines.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "protocol/reply_parser.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using testing::RandomRecord;
using testing::Session;

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
      lines.emplace_back(text);
      break;
    }
    lines.emplace_back(text.substr(0, end + 2));
    text.remove_prefix(end + 2);
  }
  return lines;
}

struct LinesCase {
  ModelCode model;
  std::size_t count;
};

class SimSettingsLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SimSettingsLines, FactoryDefaultsReplyLineByLine) {
  const auto [model, count] = GetParam();
  SimulatedPrinter printer(model, kFactoryDefaults);
  const std::string reply = Session(printer, {"?NVRAM  \r"});
  ASSERT_EQ(reply.rfind("?NVRAM  :", 0), 0u);
  const std::vector<std::string> lines = SplitLines(std::string_view(reply).substr(9));
  ASSERT_EQ(lines.size(), count);
  std::size_t i = 0;
  for (const BlockInfo& block : kBlocks) {
    for (const ItemIndex item : WireOrderOf(block.block)) {
      if (item == kStatusItem) continue;
      if (model == ModelCode::kHx310 && (item == 17 || item == 40 || item == 67)) continue;
      ASSERT_LT(i, lines.size());
      const std::string expected = std::string(block.wireName) + " :" +
                                   std::string(KeywordOf(item)) + " :" +
                                   std::string(*LabelOf(item, kFactoryDefaults)) + "\r\n";
      EXPECT_EQ(lines[i], expected) << "line " << i;
      EXPECT_EQ(lines[i].size(), kSettingsLineWidth);
      ++i;
    }
  }
  EXPECT_EQ(lines.front(), "MENU1   :EMULATE :DPL24C+\r\n");
  EXPECT_EQ(lines.back(), "CONFIG  :TOF-CTL :DRIVER \r\n");
  EXPECT_NE(reply.find("MENU2   :ZEROFNT :NO-SLSH\r\nMENU2   :DC3-CDE :ENABLE \r\n"),
            std::string::npos);
  EXPECT_NE(reply.find("HARDWRE :INTRFCE :AUTO-2S\r\n"), std::string::npos);
  EXPECT_EQ(reply.find("STATUS"), std::string::npos);
  EXPECT_EQ(reply.find("WIDTH  ") == std::string::npos, model == ModelCode::kHx310);
  EXPECT_EQ(reply.find("CSF-ADJ") == std::string::npos, model == ModelCode::kHx310);
}

INSTANTIATE_TEST_SUITE_P(Models, SimSettingsLines,
                         ::testing::Values(LinesCase{ModelCode::kHx320, 86},
                                           LinesCase{ModelCode::kHx310, 83}),
                         [](const auto& p) { return std::string(NameOf(p.param.model)); });

TEST(SimSettingsLines, ValuesUseTheListOfTheirEmulation) {
  SettingsRecord record = kFactoryDefaults;
  record[kMenu2Emulate] = kEscP2;
  record[23 + kPageLengthOffset] = 37;  // "LINE   " in the ESC/P2 list only
  const std::string lines = SettingsLines(record, ModelCode::kHx320);
  EXPECT_NE(lines.find("MENU2   :EMULATE :ESC/P2 \r\n"), std::string::npos);
  EXPECT_NE(lines.find("MENU2   :PAGE LG :LINE   \r\n"), std::string::npos);
}

class SimReplyParse : public ::testing::TestWithParam<ModelCode> {};

TEST_P(SimReplyParse, TheHostParserGetsTheRecordBack) {
  const ModelCode model = GetParam();
  std::mt19937 rng(42);
  for (int round = 0; round < 200; ++round) {
    const SettingsRecord record = RandomRecord(rng);
    SimulatedPrinter printer(model, record);
    const std::string reply = Session(printer, {wire::kQueryModelVersionSettings});
    ReplyBuffer buffer{};
    ASSERT_LE(reply.size(), buffer.size());
    std::copy(reply.begin(), reply.end(), buffer.begin());
    const ParsedReply parsed =
        ParseReply(buffer, reply.size(), ReadMode::kStartUp, model, 0, kFactoryDefaults);
    ASSERT_EQ(parsed.result, ReadResult::kDone);
    EXPECT_TRUE(parsed.reportedCodes.empty());
    SettingsRecord expected = record;
    expected[kStatusItem] = kFactoryDefaults[kStatusItem];  // never read
    if (model == ModelCode::kHx310) {
      for (const ItemIndex item : {ItemIndex{17}, ItemIndex{40}, ItemIndex{67}})
        expected[item] = kFactoryDefaults[item];
    }
    ASSERT_EQ(parsed.staging, expected) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, SimReplyParse,
                         ::testing::Values(ModelCode::kHx310, ModelCode::kHx320),
                         [](const auto& p) { return std::string(NameOf(p.param)); });

}  // namespace
}  // namespace rovant::sim
