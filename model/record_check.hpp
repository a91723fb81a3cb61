// Checking a record that came from outside (a file, a fuzzer, a person) against
// the lists in force, and naming what is wrong.
#pragma once

#include <string>

#include "model/item_list.hpp"
#include "model/settings_record.hpp"

namespace rovant {

// The items whose stored position lies outside their list in force, in record order.
ItemList ItemsOutOfList(const SettingsRecord& record);

// One line per item: "MENU1 FONT (stored 45, list of 19)".
std::string ListItemsWithValues(const ItemList& items, const SettingsRecord& record);

}  // namespace rovant
