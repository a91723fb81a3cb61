#include "model/record_check.hpp"

#include "model/catalogue.hpp"
#include "model/item_names.hpp"

namespace rovant {

ItemList ItemsOutOfList(const SettingsRecord& record) {
  ItemList bad;
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!IsInList(item, record)) bad.Add(item);
  }
  return bad;
}

std::string ListItemsWithValues(const ItemList& items, const SettingsRecord& record) {
  std::string text;
  for (const ItemIndex item : items) {
    text += DescribeItem(item);
    text += " (stored ";
    text += std::to_string(record[item]);
    text += ", list of ";
    text += std::to_string(ListInForce(item, record).size());
    text += ")\n";
  }
  return text;
}

}  // namespace rovant
