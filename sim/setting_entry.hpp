// One entry of the setting text as the printer carries it out.
#pragma once

#include <string_view>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::sim {

// Width of a "KEYWORD:LABEL" entry.
inline constexpr std::size_t kEntryWidth = 15;

// Applies "KEYWORD:LABEL" of the block's section to the record: the item is
// found by keyword in the block, the label in the list in force of the record
// as it is now. Unknown keywords, labels outside the list, read-only items and
// items the model does not have are ignored (false returns).
bool ApplySettingEntry(SettingsRecord& record, ModelCode model, MenuBlock block,
                       std::string_view entry);

}  // namespace rovant::sim
