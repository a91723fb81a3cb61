// Sessions: setup starts only at the online sequence; commands and queries,
// whole and joined (split across sends: setting_text_apply_test, byte by byte).
#include <gtest/gtest.h>

#include <random>

#include "sim/settings_lines.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using namespace std::string_literals;
using testing::Collect;
using testing::RandomRecord;
using testing::Session;

SettingsRecord SomeRecord() {
  std::mt19937 rng(7);
  SettingsRecord record = RandomRecord(rng);
  EXPECT_NE(record, kFactoryDefaults);
  return record;
}

TEST(SimSession, NothingIsCarriedOutBeforeTheOnlineSequenceAloneInItsSend) {
  SimulatedPrinter printer(ModelCode::kHx320, SomeRecord());
  EXPECT_TRUE(printer.Accept("?MODEL  \rDEFAULT\r"));
  EXPECT_EQ(Collect(printer), "");
  EXPECT_TRUE(printer.Accept("x" + std::string(wire::kOnlineSequence)));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_TRUE(printer.Accept(std::string(wire::kOnlineSequence) + "DEFAULT\r"));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_EQ(printer.current(), SomeRecord());
  EXPECT_TRUE(printer.Accept(wire::kOnlineSequence));
  EXPECT_TRUE(printer.inSetup());
}

struct QueryCase {
  const char* name;
  ModelCode model;
  std::string send;
  std::string reply;
};

class SimQuery : public ::testing::TestWithParam<QueryCase> {};

TEST_P(SimQuery, AnswersExactly) {
  const QueryCase& c = GetParam();
  SimulatedPrinter printer(c.model, kFactoryDefaults);
  EXPECT_EQ(Session(printer, {c.send}), c.reply);
}

const std::string kNvram320 = "?NVRAM  :" + SettingsLines(kFactoryDefaults, ModelCode::kHx320);

INSTANTIATE_TEST_SUITE_P(
    All, SimQuery,
    ::testing::Values(
        QueryCase{"Model320", ModelCode::kHx320, "?MODEL  \r", "?MODEL  :HX320  \r\n"},
        QueryCase{"Model310", ModelCode::kHx310, "?MODEL  \r", "?MODEL  :HX310  \r\n"},
        QueryCase{"Version", ModelCode::kHx320, "?VER    \r", "?VER    :1.02   \r\n"},
        QueryCase{"Settings", ModelCode::kHx320, "?NVRAM  \r", kNvram320},
        QueryCase{"Joined", ModelCode::kHx320, std::string(wire::kQueryModelVersionSettings),
                  "?MODEL  :HX320  \r\n?VER    :1.02   \r\n" + kNvram320},
        QueryCase{"UnknownQuery", ModelCode::kHx320, "?FOO    \r", ""},
        QueryCase{"NoCrNoAnswer", ModelCode::kHx320, "?MODEL  ", ""},
        QueryCase{"AfterExitNothing", ModelCode::kHx320, "EXIT   \r?MODEL  \r", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SimSession, ReplyIsHandedOutOnceAndZeroesTheRestOfTheBuffer) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  ASSERT_TRUE(printer.Accept(wire::kOnlineSequence));
  ASSERT_TRUE(printer.Accept("?VER    \r"));
  std::array<char, kReplyLimit> buffer{};
  buffer.fill('x');
  std::size_t length = 99;
  ASSERT_TRUE(printer.Reply(buffer, length));
  ASSERT_EQ(length, 18u);
  for (std::size_t i = length; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\0') << i;
  EXPECT_EQ(Collect(printer), "");
}

TEST(SimSession, EndSessionDropsPendingBytesAndTheReply) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  ASSERT_TRUE(printer.Accept(wire::kOnlineSequence));
  ASSERT_TRUE(printer.Accept("?VER    \r?MODEL  "));
  printer.EndSession();
  EXPECT_FALSE(printer.inSetup());
  EXPECT_EQ(Collect(printer), "");
  ASSERT_TRUE(printer.Accept(wire::kOnlineSequence));
  ASSERT_TRUE(printer.Accept("\r?VER    \r"));
  EXPECT_EQ(Collect(printer), "?VER    :1.02   \r\n");
}

TEST(SimSession, DefaultSetsTheFactorySettingsWithoutSaving) {
  SimulatedPrinter printer(ModelCode::kHx320, SomeRecord());
  Session(printer, {wire::kDefault});
  EXPECT_EQ(printer.current(), kFactoryDefaults);
  EXPECT_EQ(printer.memory(), SomeRecord());
  Session(printer, {wire::kSaveExit});
  EXPECT_EQ(printer.memory(), kFactoryDefaults);
}

TEST(SimSession, ListPrintsTheCurrentSettings) {
  SettingsRecord record = kFactoryDefaults;
  record[3] = 5;  // MENU1 PITCH 12 CPI
  SimulatedPrinter printer(ModelCode::kHx310, record);
  EXPECT_EQ(Session(printer, {wire::kListExit}), "");
  const std::string paper = printer.paper();
  EXPECT_EQ(paper.rfind("HX310 setting list\n", 0), 0u) << paper;
  EXPECT_NE(paper.find("\nMENU1    PITCH    12 CPI\n"), std::string::npos);
  EXPECT_NE(paper.find("\nCONFIG   STATUS   DISABLE\n"), std::string::npos);
  EXPECT_EQ(paper.find("WIDTH"), std::string::npos) << "an HX310 has no WIDTH";
  EXPECT_EQ(paper.substr(paper.size() - 2), "\n\n");
  EXPECT_EQ(std::count(paper.begin(), paper.end(), '\n'), 1 + 84 + 1);
  Session(printer, {wire::kListExit});
  EXPECT_EQ(printer.paper(), paper + paper) << "each list is added to the paper";
}

TEST(SimSession, PrintedPaperIsBoundedAndCountsWhatDidNotFit) {
  SimulatedPrinter single(ModelCode::kHx320, kFactoryDefaults);
  Session(single, {wire::kListExit});
  const std::size_t one = single.paper().size();
  ASSERT_GT(one, 0U);
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  std::string lists;
  for (int i = 0; i < 1000; ++i) lists += "LIST   \r";
  Session(printer, {lists});
  EXPECT_LE(printer.paper().size(), kPaperLimit);
  EXPECT_GT(printer.paper().size(), kPaperLimit - one);
  EXPECT_EQ(printer.TakeListsNotPrinted(), 1000 - printer.paper().size() / one);
  EXPECT_EQ(printer.TakeListsNotPrinted(), 0U);
  // Taken paper is gone from the printer, which then prints again.
  EXPECT_EQ(printer.TakePaper().size() % one, 0U);
  EXPECT_EQ(printer.paper(), "");
  Session(printer, {wire::kListExit});
  EXPECT_EQ(printer.paper().size(), one);
}

TEST(SimSession, OverlongJunkIsSkippedUpToItsCr) {
  SimulatedPrinter printer(ModelCode::kHx320, SomeRecord());
  EXPECT_EQ(Session(printer, {std::string(500, 'A') + "DEFAULT\r?VER    \r"}),
            "?VER    :1.02   \r\n");
  EXPECT_EQ(printer.current(), SomeRecord());
}

}  // namespace
}  // namespace rovant::sim
