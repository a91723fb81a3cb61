// The setting text as the printer carries it out: sent in pieces, without a
// save, and the entries a printer ignores.
#include <gtest/gtest.h>

#include <random>

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
