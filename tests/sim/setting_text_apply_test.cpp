// The setting text as the printer carries it out: round trips of random
// records, and the entries a printer ignores.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "protocol/setting_text.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using testing::RandomRecord;
using testing::Session;

std::string TextOf(const SettingsRecord& record, ModelCode model) {
  SettingText text;
  ItemList refused;
  EXPECT_TRUE(BuildSettingText(record, model, text, refused));
  return std::string(text.view());
}

class SimSettingText : public ::testing::TestWithParam<ModelCode> {};

TEST_P(SimSettingText, RandomRecordsRoundTrip) {
  const ModelCode model = GetParam();
  std::mt19937 rng(model == ModelCode::kHx310 ? 310 : 320);
  for (int round = 0; round < 300; ++round) {
    const SettingsRecord before = RandomRecord(rng);
    const SettingsRecord wanted = RandomRecord(rng);
    SimulatedPrinter printer(model, before);
    Session(printer, {TextOf(wanted, model), wire::kSaveExit});
    for (ItemIndex item = 0; item < kItemCount; ++item) {
      const std::uint8_t expected = IsSentNow(item, wanted, model) ? wanted[item] : before[item];
      ASSERT_EQ(printer.current()[item], expected) << "round " << round << " item " << item;
    }
    ASSERT_EQ(printer.memory(), printer.current()) << "round " << round;
  }
}

TEST_P(SimSettingText, TextSentByteByByteActsAsWhole) {
  const ModelCode model = GetParam();
  std::mt19937 rng(5);
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

TEST_P(SimSettingText, WithoutSaveTheMemoryStays) {
  std::mt19937 rng(9);
  const SettingsRecord before = RandomRecord(rng);
  SimulatedPrinter printer(GetParam(), before);
  Session(printer, {TextOf(kFactoryDefaults, GetParam()), "EXIT   \r"});
  EXPECT_EQ(printer.memory(), before);
  EXPECT_NE(printer.current(), before);
}

INSTANTIATE_TEST_SUITE_P(Models, SimSettingText,
                         ::testing::Values(ModelCode::kHx310, ModelCode::kHx320),
                         [](const auto& p) { return std::string(NameOf(p.param)); });

struct EntryCase {
  const char* name;
  ModelCode model;
  const char* text;
  std::vector<std::pair<ItemIndex, std::uint8_t>> changes;  // all other bytes stay
};

class SimEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(SimEntry, ChangesExactlyWhatThePrinterWould) {
  const EntryCase& c = GetParam();
  SettingsRecord start = kFactoryDefaults;
  start[3] = 0;  // MENU1 PITCH 2.5CPI: an emulation reset would make it 10 CPI
  SimulatedPrinter printer(c.model, start);
  Session(printer, {c.text});
  SettingsRecord expected = start;
  for (const auto& [item, value] : c.changes) expected[item] = value;
  EXPECT_EQ(printer.current(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    All, SimEntry,
    ::testing::Values(
        EntryCase{"FirstEntryFollowsTheSectionName",
                  ModelCode::kHx320,
                  "MENU1  :PITCH  :12 CPI \r",
                  {{3, 5}}},
        EntryCase{"LaterEntriesKeepTheSection",
                  ModelCode::kHx320,
                  "MENU2  :PITCH  :12 CPI \rLINE SP:1 LPI  \r",
                  {{26, 5}, {27, 0}}},
        EntryCase{
            "Menu2ZeroFontIsRecord42", ModelCode::kHx320, "MENU2  :ZEROFNT:SLASH  \r", {{42, 1}}},
        EntryCase{
            "Menu2Dc3CodeIsRecord41", ModelCode::kHx320, "MENU2  :DC3-CDE:DISABLE\r", {{41, 1}}},
        EntryCase{"EmulateSwitchesListsWithoutReset",
                  ModelCode::kHx320,
                  "MENU1  :EMULATE:ESC/P2 \rPAGE LG:LINE   \r",
                  {{0, 2}, {8, 37}}},
        EntryCase{"LabelOutsideTheNewListIgnored",
                  ModelCode::kHx320,
                  "MENU1  :EMULATE:XL24E  \rCHAR-W :4 TIMES\r",
                  {{0, 1}}},
        EntryCase{"ReadOnlyItemIgnored",
                  ModelCode::kHx320,
                  "HARDWRE:BUZZER :OFF    \rINTRFCE:PARALEL\r",
                  {{48, 1}}},
        EntryCase{"Hx320TakesWidth", ModelCode::kHx320, "MENU1  :WIDTH  :8.0 IN \r", {{17, 0}}},
        EntryCase{"Hx310IgnoresWidth", ModelCode::kHx310, "MENU1  :WIDTH  :8.0 IN \r", {}},
        EntryCase{"Hx320TakesCsfAdjust", ModelCode::kHx320, "ADJUST :CSF-ADJ:GRAPHIC\r", {{67, 7}}},
        EntryCase{"Hx310IgnoresCsfAdjust", ModelCode::kHx310, "ADJUST :CSF-ADJ:GRAPHIC\r", {}},
        EntryCase{"UnknownKeywordIgnored",
                  ModelCode::kHx320,
                  "MENU1  :BOGUS  :12 CPI \rPITCH  :12 CPI \r",
                  {{3, 5}}},
        EntryCase{"UnknownLabelIgnored", ModelCode::kHx320, "MENU1  :PITCH  :99 CPI \r", {}},
        EntryCase{
            "KeywordOfAnotherBlockIgnored", ModelCode::kHx320, "MENU1  :BUZZER :OFF    \r", {}},
        EntryCase{"EntryWithoutSectionIgnored", ModelCode::kHx320, "PITCH  :12 CPI \r", {}},
        EntryCase{"MalformedEntryIgnored", ModelCode::kHx320, "MENU1  :PITCH  =12 CPI \r", {}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace rovant::sim
