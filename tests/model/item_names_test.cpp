#include "model/item_names.hpp"

#include <gtest/gtest.h>

#include "model/catalogue.hpp"

namespace rovant {
namespace {

TEST(ItemNames, DescribeUsesTabNameAndPageLabel) {
  EXPECT_EQ(DescribeItem(4), "MENU1 LINE-SP");
  EXPECT_EQ(DescribeItem(41), "MENU2 DC3-CDE");
  EXPECT_EQ(DescribeItem(53), "HARDWARE BAUD-RT");
}

TEST(ItemNames, BlocksAndItemsAreFoundByTheirNamesInAnyCase) {
  EXPECT_EQ(FindBlock("menu2"), MenuBlock::kMenu2);
  EXPECT_EQ(FindBlock("HARDWRE"), MenuBlock::kHardware);
  EXPECT_EQ(FindBlock("Hardware"), MenuBlock::kHardware);
  EXPECT_FALSE(FindBlock("MENU3").has_value());
  EXPECT_EQ(FindItem(MenuBlock::kMenu1, "pitch"), 3u);
  EXPECT_EQ(FindItem(MenuBlock::kMenu1, "LINE SP"), 4u);
  EXPECT_EQ(FindItem(MenuBlock::kMenu1, "LINE-SP"), 4u);
  EXPECT_EQ(FindItem(MenuBlock::kMenu2, "ZEROFNT"), 42u);
  EXPECT_EQ(FindItem(MenuBlock::kMenu2, "DC3-CDE"), 41u);
  EXPECT_EQ(FindItem(MenuBlock::kConfig, "//s//"), 79u);
  EXPECT_EQ(FindItem(MenuBlock::kConfig, "STATUS"), kStatusItem);
  EXPECT_FALSE(FindItem(MenuBlock::kConfig, "PITCH").has_value());
  EXPECT_FALSE(FindItem(MenuBlock::kConfig, "").has_value());
}

TEST(ItemNames, LabelsMatchExactlyOrUniquelyIgnoringBlanks) {
  const OptionList pitch = lists::kPitch;
  EXPECT_EQ(FindLabel(pitch, "12 CPI ").position, 5);
  EXPECT_EQ(FindLabel(pitch, "12 CPI").match, LabelMatch::kFound);
  EXPECT_EQ(FindLabel(pitch, "12 CPI").position, 5);
  EXPECT_EQ(FindLabel(pitch, "  PROP SP ").position, 10);
  EXPECT_EQ(FindLabel(pitch, "12 cpi").match, LabelMatch::kNone);
  EXPECT_EQ(FindLabel(pitch, "").match, LabelMatch::kNone);
  EXPECT_EQ(FindLabel(lists::kBuffer, "2KBYTE").position, 2);
}

}  // namespace
}  // namespace rovant
