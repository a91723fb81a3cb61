#include "sim/setting_entry.hpp"

#include "model/catalogue.hpp"
#include "sim/model_items.hpp"

namespace rovant::sim {

bool ApplySettingEntry(SettingsRecord& record, ModelCode model, MenuBlock block,
                       std::string_view entry) {
  constexpr std::size_t kKeywordWidth = 7;
  if (entry.size() != kEntryWidth || entry[kKeywordWidth] != ':') return false;
  const std::string_view keyword = entry.substr(0, kKeywordWidth);
  const std::string_view label = entry.substr(kKeywordWidth + 1);
  for (const ItemIndex item : WireOrderOf(block)) {
    if (KeywordOf(item) != keyword) continue;
    if (IsReadOnly(item) || !ModelHasItem(item, model)) return false;
    const std::optional<std::uint8_t> position = PositionOfLabel(item, record, label);
    if (!position) return false;
    record[item] = *position;
    return true;
  }
  return false;
}

}  // namespace rovant::sim
