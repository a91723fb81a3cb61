// Naming items for people: "MENU2 LINE-SP", and finding an item by such a name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/option_label.hpp"
#include "model/settings_record.hpp"

namespace rovant {

// "MENU1 PITCH": the tab name of the item's block and its page label.
std::string DescribeItem(ItemIndex item);

// "MENU1.PITCH": the same with a dot, as profiles and fleet results name items.
std::string ItemKey(ItemIndex item);

// The item a BLOCK.ITEM key names (block and item as FindBlock and FindItem take them); the reason
// when there is none.
std::optional<ItemIndex> ParseItemKey(std::string_view key, std::string& reason);

// Finds a block by its tab name or wire name, ignoring case ("menu1", "HARDWRE").
std::optional<MenuBlock> FindBlock(std::string_view name);

// Finds an item of a block by its page label or keyword, ignoring case and
// trailing blanks ("PITCH", "line sp", "LINE-SP").
std::optional<ItemIndex> FindItem(MenuBlock block, std::string_view name);

enum class LabelMatch { kFound, kAmbiguous, kNone };
struct LabelSearch {
  LabelMatch match = LabelMatch::kNone;
  std::uint8_t position = 0;
};

// Finds the option a person means: an exact seven-character label, or else
// the one label equal to the text when blanks around both are ignored.
LabelSearch FindLabel(OptionList list, std::string_view text);

}  // namespace rovant
