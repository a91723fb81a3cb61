#include "model/catalogue.hpp"

#include <gtest/gtest.h>

#include <array>

namespace rovant {
namespace {

// List sizes of a menu block's items under DPL24C+, XL24E and ESC/P2, in
// MENU1 record order, as the printer's menus have them.
constexpr std::array<std::array<std::size_t, 3>, 23> kMenuListSizes{
    {{3, 3, 3},    {19, 18, 18}, {4, 4, 4},    {11, 11, 11}, {8, 8, 8},    {3, 2, 3},
     {3, 2, 3},    {5, 4, 5},    {15, 15, 38}, {10, 10, 10}, {10, 10, 10}, {41, 41, 41},
     {10, 10, 10}, {59, 59, 63}, {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {4, 4, 4},
     {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {2, 2, 2},    {2, 2, 2}}};

SettingsRecord WithEmulation(std::uint8_t emulation) {
  SettingsRecord record{};
  record[kMenu1Emulate] = emulation;
  record[kMenu2Emulate] = emulation;
  return record;
}

TEST(ListSizes, EveryItemHasItsListUnderEachEmulation) {
  for (const std::uint8_t emulation : {kDpl24cPlus, kXl24e, kEscP2}) {
    const SettingsRecord record = WithEmulation(emulation);
    for (ItemIndex i = 0; i < 23; ++i)
      EXPECT_EQ(ListInForce(i, record).size(), kMenuListSizes[i][emulation]) << "MENU1 " << i;
    // MENU2's items are MENU1's (the catalogue is built so), each menu under its own emulation.
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

// Labels that tell the lists in force apart where their sizes (above) do not, and positions
// outside a list; the generated lists are checked against their labels in option_lists.hpp.
const LabelCase kLabels[] = {{1, kDpl24cPlus, 18, "DOWNLD1"}, {1, kXl24e, 17, "DOWNLD0"},
                             {1, kXl24e, 18, nullptr},        {36, kEscP2, 62, "LATIN-9"},
                             {37, kEscP2, 0, "ITALIC "},      {14, kDpl24cPlus, 1, "SET2   "},
                             {7, kXl24e, 2, "SHADOW "},       {7, kDpl24cPlus, 2, "CONDNSD"},
                             {8, kEscP2, 14, "11.0 IN"},      {86, kDpl24cPlus, 255, nullptr}};
INSTANTIATE_TEST_SUITE_P(Catalogue, Labels, ::testing::ValuesIn(kLabels));

TEST(PositionOfLabel, ComparesExactlySevenCharacters) {
  const SettingsRecord record{};
  EXPECT_FALSE(PositionOfLabel(3, record, "12 CPI").has_value());   // six characters
  EXPECT_FALSE(PositionOfLabel(3, record, "12 cpi ").has_value());  // case matters
  EXPECT_FALSE(PositionOfLabel(3, record, " 12 CPI").has_value());
  EXPECT_EQ(PositionOfLabel(3, record, std::string_view("12 CPI \r", 8)), 5);
}

// Showing and sending follow the same conditions, and setting_text_test compares what is sent
// with the command reference for every model; what differs are the model rules and read-only items.
constexpr bool Effect(ItemIndex item, ModelCode model, bool inEffect, bool sent) {
  return InEffect(item, kFactoryDefaults, model) == inEffect &&
         IsSentNow(item, kFactoryDefaults, model) == sent;
}
static_assert(Effect(17, ModelCode::kHx320, true, true) &&
                  Effect(40, ModelCode::kHx310, false, false) &&
                  Effect(40, ModelCode::kOther, true, false),
              "WIDTH: not on an HX310, shown but not sent for another model");
static_assert(Effect(67, ModelCode::kHx310, false, false) &&
              Effect(67, ModelCode::kOther, true, true));
static_assert(Effect(51, ModelCode::kHx320, true, false) &&
                  Effect(kStatusItem, ModelCode::kHx320, true, false),
              "read-only items are shown, never sent");

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
