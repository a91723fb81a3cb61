#include "model/catalogue.hpp"

#include <gtest/gtest.h>

#include <array>

#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

constexpr std::uint8_t kEmulations[] = {kDpl24cPlus, kXl24e, kEscP2};

// List sizes of a menu block's items under DPL24C+, XL24E and ESC/P2, in
// MENU1 record order, as the printer's menus have them.
constexpr std::array<std::array<std::size_t, 3>, 23> kMenuListSizes{{
    {3, 3, 3},    {19, 18, 18}, {4, 4, 4},    {11, 11, 11}, {8, 8, 8},    {3, 2, 3},
    {3, 2, 3},    {5, 4, 5},    {15, 15, 38}, {10, 10, 10}, {10, 10, 10}, {41, 41, 41},
    {10, 10, 10}, {59, 59, 63}, {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {4, 4, 4},
    {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {2, 2, 2},
}};

SettingsRecord WithEmulation(std::uint8_t emulation) {
  SettingsRecord record{};
  record[kMenu1Emulate] = emulation;
  record[kMenu2Emulate] = emulation;
  return record;
}

TEST(ListSizes, EveryItemHasItsListUnderEachEmulation) {
  for (const std::uint8_t emulation : kEmulations) {
    const SettingsRecord record = WithEmulation(emulation);
    for (ItemIndex i = 0; i < 23; ++i) {
      EXPECT_EQ(ListInForce(i, record).size(), kMenuListSizes[i][emulation]) << "MENU1 " << i;
      // MENU2 keeps DC3-CDE (41) before ZEROFNT (42); both lists have two entries.
      const ItemIndex twin = i == 18 ? 42 : i == 19 ? 41 : 23 + i;
      EXPECT_EQ(ListInForce(twin, record).size(), kMenuListSizes[i][emulation]) << "MENU2 " << twin;
    }
    // Each menu follows only its own emulation.
    SettingsRecord menu2Only{};
    menu2Only[kMenu2Emulate] = emulation;
    EXPECT_EQ(ListInForce(8, menu2Only).size(), 15u);  // MENU1 PAGE LG under DPL24C+
    EXPECT_EQ(ListInForce(31, menu2Only).size(), kMenuListSizes[8][emulation]);
  }
}

struct LabelCase {
  ItemIndex item;
  std::uint8_t emulation;
  std::uint8_t position;
  const char* label;  // nullptr: outside the list
};

class Labels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(Labels, PositionAndLabelConvertThroughTheListInForce) {
  const LabelCase& c = GetParam();
  SettingsRecord record = WithEmulation(c.emulation);
  record[c.item] = c.position;
  const std::optional<std::string_view> label = LabelOf(c.item, record);
  if (c.label == nullptr) {
    EXPECT_FALSE(label.has_value());
    return;
  }
  ASSERT_TRUE(label.has_value());
  EXPECT_EQ(*label, c.label);
  record[c.item] = 0;
  EXPECT_EQ(PositionOfLabel(c.item, record, c.label), c.position);
}

// The lists in force by emulation, and positions outside them.
const LabelCase kLabels[] = {{1, kDpl24cPlus, 18, "DOWNLD1"}, {1, kXl24e, 17, "DOWNLD0"},
                             {1, kXl24e, 18, nullptr},        {1, kEscP2, 18, nullptr},
                             {8, kDpl24cPlus, 14, "LINE   "}, {8, kXl24e, 14, "LINE   "},
                             {8, kEscP2, 14, "11.0 IN"},      {8, kEscP2, 37, "LINE   "},
                             {8, kDpl24cPlus, 15, nullptr},   {13, kDpl24cPlus, 8, "PAGE437"},
                             {13, kEscP2, 12, "PAGE437"},     {36, kEscP2, 62, "LATIN-9"},
                             {37, kEscP2, 0, "ITALIC "},      {14, kDpl24cPlus, 1, "SET2   "},
                             {7, kXl24e, 2, "SHADOW "},       {7, kDpl24cPlus, 2, "CONDNSD"},
                             {5, kXl24e, 2, nullptr},         {11, kDpl24cPlus, 41, nullptr},
                             {86, kDpl24cPlus, 255, nullptr}};
INSTANTIATE_TEST_SUITE_P(Catalogue, Labels, ::testing::ValuesIn(kLabels));

TEST(PositionOfLabel, ComparesExactlySevenCharacters) {
  const SettingsRecord record{};
  EXPECT_EQ(PositionOfLabel(3, record, "12 CPI "), 5);
  EXPECT_FALSE(PositionOfLabel(3, record, "12 CPI").has_value());   // six characters
  EXPECT_FALSE(PositionOfLabel(3, record, "12 cpi ").has_value());  // case matters
  EXPECT_FALSE(PositionOfLabel(3, record, " 12 CPI").has_value());
  EXPECT_EQ(PositionOfLabel(3, record, std::string_view("12 CPI \r", 8)), 5);
}

// What the setting text carries follows the same conditions, and setting_text_test compares it
// with the command reference for every model; here what differs between showing and sending.
struct EffectCase {
  const char* name;
  ItemIndex item;
  ModelCode model;
  const char* changes;  // "item=value ...", against the factory defaults
  bool inEffect;
  bool sent;
};

class InEffectRules : public ::testing::TestWithParam<EffectCase> {};

TEST_P(InEffectRules, FollowTheConditionsTable) {
  const EffectCase& c = GetParam();
  const SettingsRecord record = testing::WithChanges(kFactoryDefaults, c.changes);
  EXPECT_EQ(InEffect(c.item, record, c.model), c.inEffect) << c.name;
  EXPECT_EQ(IsSentNow(c.item, record, c.model), c.sent) << c.name;
}

constexpr ModelCode k310 = ModelCode::kHx310;
constexpr ModelCode k320 = ModelCode::kHx320;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, InEffectRules,
    ::testing::Values(EffectCase{"PG LX10 off at 11 inch", 9, k320, "", false, false},
                      EffectCase{"PG LX10 on with LINE", 9, k320, "8=14", true, true},
                      EffectCase{"WIDTH HX320", 17, k320, "", true, true},
                      EffectCase{"WIDTH HX310", 40, k310, "", false, false},
                      EffectCase{"WIDTH other model shown not sent", 40, ModelCode::kOther, "",
                                 true, false},
                      EffectCase{"CSF-ADJ HX310", 67, k310, "", false, false},
                      EffectCase{"INTRFCE read-only", 51, k320, "", true, false},
                      EffectCase{"STATUS never sent", kStatusItem, k320, "", true, false}));

TEST(EmulationReset, ResetsOnlyAMenuBlockAndOnlyToAKnownEmulation) {
  for (const MenuBlock block : {MenuBlock::kMenu1, MenuBlock::kMenu2, MenuBlock::kConfig}) {
    for (std::uint8_t emulation = 0; emulation <= 3; ++emulation) {
      SettingsRecord record{};
      record.fill(1);
      ApplyEmulationReset(record, block, emulation);
      const BlockInfo& info = InfoOf(block);
      const bool resets = block != MenuBlock::kConfig && emulation < 3;
      EXPECT_EQ(record[info.first], resets ? emulation : 1);
      for (ItemIndex i = 0; i < kItemCount; ++i) {
        EXPECT_TRUE(record[i] == 1 || (resets && i >= info.first && i < info.first + info.count))
            << i;
      }
    }
  }
}

TEST(EmulationReset, XlAndEscP2TakeTheirOwnValues) {
  SettingsRecord record = kFactoryDefaults;
  ApplyEmulationReset(record, MenuBlock::kMenu1, kXl24e);
  ApplyEmulationReset(record, MenuBlock::kMenu2, kEscP2);
  EXPECT_EQ(*LabelOf(21, record), "LF ONLY");
  EXPECT_EQ(*LabelOf(13, record), "PAGE437");
  EXPECT_EQ(*LabelOf(44, record), "LF & CR");
  EXPECT_EQ(*LabelOf(36, record), "PAGE437");
  EXPECT_EQ(*LabelOf(31, record), "11.0 IN");
  EXPECT_EQ(*LabelOf(37, record), "ITALIC ");
}

}  // namespace
}  // namespace rovant
