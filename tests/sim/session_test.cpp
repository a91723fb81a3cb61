// Sessions: setup from the online sequence only, the queries, the lines of "?NVRAM  ", and the
// setting text as the printer carries it out.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "protocol/setting_text.hpp"
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

TEST(SimSettingsLines, FactoryDefaultsReplyLineByLine) {
  for (const auto& [model, count] : {std::pair{ModelCode::kHx320, 86}, {ModelCode::kHx310, 83}}) {
    SCOPED_TRACE(NameOf(model));
    SimulatedPrinter printer(model, kFactoryDefaults);
    const std::string reply = Session(printer, {"?NVRAM  \r"});
    std::string expected = "?NVRAM  :";
    int lines = 0;
    for (const BlockInfo& block : kBlocks) {
      for (const ItemIndex item : WireOrderOf(block.block)) {
        if (item == kStatusItem) continue;
        if (model == ModelCode::kHx310 && (item == 17 || item == 40 || item == 67)) continue;
        const std::string line = std::string(block.wireName) + " :" + std::string(KeywordOf(item)) +
                                 " :" + std::string(*LabelOf(item, kFactoryDefaults)) + "\r\n";
        EXPECT_EQ(line.size(), kSettingsLineWidth) << line;
        expected += line;
        ++lines;
      }
    }
    EXPECT_EQ(lines, count);
    EXPECT_EQ(reply, expected);
    EXPECT_EQ(reply.substr(9, 27), "MENU1   :EMULATE :DPL24C+\r\n");
    EXPECT_NE(reply.find("MENU2   :ZEROFNT :NO-SLSH\r\nMENU2   :DC3-CDE :ENABLE \r\n"),
              std::string::npos);
  }
}

std::string TextOf(const SettingsRecord& record, ModelCode model) {
  SettingText text;
  ItemList refused;
  EXPECT_TRUE(BuildSettingText(record, model, text, refused));
  return std::string(text.view());
}

constexpr ModelCode kModels[] = {ModelCode::kHx310, ModelCode::kHx320};

TEST(SimSettingText, TextSentByteByByteActsAsWhole) {
  std::mt19937 rng(5);
  for (const ModelCode model : kModels) {
    const SettingsRecord before = RandomRecord(rng);
    const SettingsRecord wanted = RandomRecord(rng);
    SimulatedPrinter whole(model, before);
    Session(whole, {TextOf(wanted, model)});
    SimulatedPrinter bytes(model, before);
    ASSERT_TRUE(bytes.Accept(wire::kOnlineSequence));
    for (const char c : TextOf(wanted, model)) ASSERT_TRUE(bytes.Accept(std::string_view(&c, 1)));
    EXPECT_EQ(bytes.current(), whole.current());
    EXPECT_NE(whole.current(), before);
  }
}

TEST(SimSettingText, WithoutSaveTheMemoryStays) {
  std::mt19937 rng(9);
  for (const ModelCode model : kModels) {
    const SettingsRecord before = RandomRecord(rng);
    SimulatedPrinter printer(model, before);
    Session(printer, {TextOf(kFactoryDefaults, model), "EXIT   \r"});
    EXPECT_EQ(printer.memory(), before);
    EXPECT_NE(printer.current(), before);
  }
}

struct EntryCase {
  const char* name;
  ModelCode model;
  const char* text;
  const char* changes;  // "item=value ...": all other bytes stay
};

TEST(SimEntry, ChangesExactlyWhatThePrinterWould) {
  constexpr ModelCode k310 = ModelCode::kHx310;
  constexpr ModelCode k320 = ModelCode::kHx320;
  const EntryCase cases[] = {
      {"first entry follows the section name", k320, "MENU1  :PITCH  :12 CPI \r", "3=5"},
      {"later entries keep the section", k320, "MENU2  :PITCH  :12 CPI \rLINE SP:1 LPI  \r",
       "26=5 27=0"},
      {"MENU2 ZEROFNT is record 42", k320, "MENU2  :ZEROFNT:SLASH  \r", "42=1"},
      {"MENU2 DC3-CDE is record 41", k320, "MENU2  :DC3-CDE:DISABLE\r", "41=1"},
      {"EMULATE switches lists without a reset", k320, "MENU1  :EMULATE:ESC/P2 \rPAGE LG:LINE   \r",
       "0=2 8=37"},
      {"a label outside the new list", k320, "MENU1  :EMULATE:XL24E  \rCHAR-W :4 TIMES\r", "0=1"},
      {"a read-only item", k320, "HARDWRE:BUZZER :OFF    \rINTRFCE:PARALEL\r", "48=1"},
      {"HX320 takes WIDTH", k320, "MENU1  :WIDTH  :8.0 IN \r", "17=0"},
      {"HX310 ignores WIDTH", k310, "MENU1  :WIDTH  :8.0 IN \r", ""},
      {"HX320 takes CSF-ADJ", k320, "ADJUST :CSF-ADJ:GRAPHIC\r", "67=7"},
      {"HX310 ignores CSF-ADJ", k310, "ADJUST :CSF-ADJ:GRAPHIC\r", ""},
      {"an unknown keyword", k320, "MENU1  :BOGUS  :12 CPI \rPITCH  :12 CPI \r", "3=5"},
      {"an unknown label", k320, "MENU1  :PITCH  :99 CPI \r", ""},
      {"a keyword of another block", k320, "MENU1  :BUZZER :OFF    \r", ""},
      {"an entry without section", k320, "PITCH  :12 CPI \r", ""},
      {"a malformed entry", k320, "MENU1  :PITCH  =12 CPI \r", ""},
  };
  for (const EntryCase& c : cases) {
    SettingsRecord start = kFactoryDefaults;
    start[3] = 0;  // MENU1 PITCH 2.5CPI: an emulation reset would make it 10 CPI
    SimulatedPrinter printer(c.model, start);
    Session(printer, {c.text});
    EXPECT_EQ(printer.current(), rovant::testing::WithChanges(start, c.changes)) << c.name;
  }
}

}  // namespace
}  // namespace rovant::sim
