#include "model/catalogue.hpp"

#include <gtest/gtest.h>

#include <array>

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
      EXPECT_EQ(KeywordOf(twin), KeywordOf(i));
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

struct EffectCase {
  const char* name;
  ItemIndex item;
  ModelCode model;
  std::array<std::pair<int, int>, 2> set;  // record index, value (-1: none)
  bool inEffect;
  bool sent;
};

class InEffectRules : public ::testing::TestWithParam<EffectCase> {};

TEST_P(InEffectRules, FollowTheConditionsTable) {
  const EffectCase& c = GetParam();
  SettingsRecord record = kFactoryDefaults;
  for (const auto& [index, value] : c.set) {
    if (index >= 0) record[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value);
  }
  EXPECT_EQ(InEffect(c.item, record, c.model), c.inEffect) << c.name;
  EXPECT_EQ(IsSentNow(c.item, record, c.model), c.sent) << c.name;
}

constexpr std::pair<int, int> kNone{-1, 0};
constexpr ModelCode k310 = ModelCode::kHx310;
constexpr ModelCode k320 = ModelCode::kHx320;
constexpr ModelCode kOther = ModelCode::kOther;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, InEffectRules,
    ::testing::Values(
        EffectCase{"PG LX10 off at 11 inch", 9, k320, {kNone, kNone}, false, false},
        EffectCase{"PG LX10 on with LINE", 9, k320, {{{8, 14}, kNone}}, true, true},
        EffectCase{"PG LX1 ESC/P2 14 is 11.0 IN", 10, k320, {{{0, 2}, {8, 14}}}, false, false},
        EffectCase{"PG LX1 ESC/P2 LINE", 10, k320, {{{0, 2}, {8, 37}}}, true, true},
        EffectCase{"MENU2 PG LX10 own block", 32, k320, {{{8, 14}, kNone}}, false, false},
        EffectCase{"MENU2 PG LX10 LINE", 32, k320, {{{31, 14}, kNone}}, true, true},
        EffectCase{"AGM under DPL", 15, k320, {kNone, kNone}, false, false},
        EffectCase{"AGM under XL", 15, k320, {{{0, 1}, kNone}}, true, true},
        EffectCase{"MENU2 AGM under XL", 38, k320, {{{23, 1}, kNone}}, true, true},
        EffectCase{"WIDTH HX320", 17, k320, {kNone, kNone}, true, true},
        EffectCase{"WIDTH HX310", 17, k310, {kNone, kNone}, false, false},
        EffectCase{"WIDTH other model shown not sent", 40, kOther, {kNone, kNone}, true, false},
        EffectCase{"ZEROFNT ESC/P2", 18, k320, {{{0, 2}, kNone}}, false, false},
        EffectCase{"MENU2 ZEROFNT at 42", 42, k320, {{{23, 2}, kNone}}, false, false},
        EffectCase{"MENU2 DC3-CDE at 41 under XL", 41, k320, {{{23, 1}, kNone}}, false, false},
        EffectCase{"MENU2 DC3-CDE at 41 under DPL", 41, k320, {kNone, kNone}, true, true},
        EffectCase{"LF-CODE ESC/P2", 21, k320, {{{0, 2}, kNone}}, false, false},
        EffectCase{"LF-CODE XL", 44, k320, {{{23, 1}, kNone}}, true, true},
        EffectCase{"CSF-ADJ HX310", 67, k310, {kNone, kNone}, false, false},
        EffectCase{"CSF-ADJ other", 67, kOther, {kNone, kNone}, true, true},
        EffectCase{"TEAR-EN manual", 72, k320, {kNone, kNone}, false, false},
        EffectCase{"TEAR-EN auto", 72, k320, {{{70, 1}, kNone}}, true, true},
        EffectCase{"LOADTIM auto", 74, k320, {kNone, kNone}, true, true},
        EffectCase{"LOADTIM button", 74, k320, {{{73, 1}, kNone}}, false, false},
        EffectCase{"INTRFCE read-only", 51, k320, {kNone, kNone}, true, false},
        EffectCase{"STATUS never sent", kStatusItem, k320, {kNone, kNone}, true, false}));

TEST(EmulationReset, ResetsOnlyTheChangedBlock) {
  for (const MenuBlock block : {MenuBlock::kMenu1, MenuBlock::kMenu2}) {
    for (const std::uint8_t emulation : kEmulations) {
      SettingsRecord record{};
      record.fill(1);
      ApplyEmulationReset(record, block, emulation);
      const BlockInfo& info = InfoOf(block);
      EXPECT_EQ(record[info.first], emulation);
      for (ItemIndex i = 0; i < kItemCount; ++i)
        EXPECT_TRUE(record[i] == 1 || (i >= info.first && i < info.first + info.count)) << i;
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

TEST(EmulationReset, IgnoresOtherBlocksAndUnknownEmulations) {
  SettingsRecord record = kFactoryDefaults;
  ApplyEmulationReset(record, MenuBlock::kConfig, kXl24e);
  ApplyEmulationReset(record, MenuBlock::kMenu1, 3);
  EXPECT_EQ(record, kFactoryDefaults);
}

}  // namespace
}  // namespace rovant
