#include "model/item_names.hpp"

#include <cctype>

#include "model/catalogue.hpp"

namespace rovant {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string JoinItemName(ItemIndex item, char separator) {
  if (item >= kItemCount) return "item " + std::to_string(item);
  std::string name(InfoOf(BlockOf(item)).tabName);
  name += separator;
  name += PageLabelOf(item);
  return name;
}

}  // namespace

std::string DescribeItem(ItemIndex item) { return JoinItemName(item, ' '); }

std::string ItemKey(ItemIndex item) { return JoinItemName(item, '.'); }

std::optional<ItemIndex> ParseItemKey(std::string_view key, std::string& reason) {
  const std::size_t dot = key.find('.');
  if (dot == std::string_view::npos) {
    reason = "\"" + std::string(key) + "\" is not BLOCK.ITEM, e.g. MENU1.PITCH";
    return std::nullopt;
  }
  const std::optional<MenuBlock> block = FindBlock(key.substr(0, dot));
  if (!block) {
    reason = "no block \"" + std::string(key.substr(0, dot)) +
             "\"; blocks: MENU1, MENU2, HARDWARE, ADJUST, CONFIG";
    return std::nullopt;
  }
  const std::optional<ItemIndex> item = FindItem(*block, key.substr(dot + 1));
  if (!item) {
    reason = "no item \"" + std::string(key.substr(dot + 1)) + "\" in " +
             std::string(InfoOf(*block).tabName);
    return std::nullopt;
  }
  return item;
}

std::optional<MenuBlock> FindBlock(std::string_view name) {
  name = TrimBlanks(name);
  for (const BlockInfo& info : kBlocks) {
    if (EqualIgnoringCase(name, info.tabName) || EqualIgnoringCase(name, TrimBlanks(info.wireName)))
      return info.block;
  }
  return std::nullopt;
}

std::optional<ItemIndex> FindItem(MenuBlock block, std::string_view name) {
  name = TrimBlanks(name);
  if (name.empty()) return std::nullopt;
  const BlockInfo& info = InfoOf(block);
  for (ItemIndex item = info.first; item < info.first + info.count; ++item) {
    if (EqualIgnoringCase(name, PageLabelOf(item)) ||
        EqualIgnoringCase(name, TrimBlanks(KeywordOf(item))))
      return item;
  }
  return std::nullopt;
}

LabelSearch FindLabel(OptionList list, std::string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].view() == text) return {LabelMatch::kFound, static_cast<std::uint8_t>(i)};
  }
  LabelSearch result;
  const std::string_view wanted = TrimBlanks(text);
  if (wanted.empty()) return result;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (TrimBlanks(list[i].view()) != wanted) continue;
    if (result.match == LabelMatch::kFound) return {LabelMatch::kAmbiguous, 0};
    result = {LabelMatch::kFound, static_cast<std::uint8_t>(i)};
  }
  return result;
}

}  // namespace rovant
