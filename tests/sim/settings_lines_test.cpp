// The settings lines of "?NVRAM  ": layout, order and the models' differences.
#include "sim/settings_lines.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

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
  EXPECT_NE(reply.find("MENU2   :ZEROFNT :NO-SLSH\r\nMENU2   :DC3-CDE :ENABLE \r\n"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Models, SimSettingsLines,
                         ::testing::Values(LinesCase{ModelCode::kHx320, 86},
                                           LinesCase{ModelCode::kHx310, 83}),
                         [](const auto& p) { return std::string(NameOf(p.param.model)); });

}  // namespace
}  // namespace rovant::sim
