#include "cli/record_output.hpp"

#include <iomanip>
#include <ostream>

#include "cli/cli_support.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {

void PrintRecordTable(std::ostream& out, const SettingsRecord& record, ModelCode model) {
  out << std::left << std::setw(4) << "#" << std::setw(10) << "BLOCK" << std::setw(9) << "ITEM"
      << std::setw(10) << "VALUE" << std::setw(5) << "POS" << std::setw(11) << "IN EFFECT"
      << "ACCESS\n";
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    out << std::left << std::setw(4) << item << std::setw(10) << InfoOf(BlockOf(item)).tabName
        << std::setw(9) << PageLabelOf(item) << std::setw(10)
        << Quoted(LabelOf(item, record).value_or("?")) << std::setw(5)
        << static_cast<unsigned>(record[item]) << std::setw(11)
        << (InEffect(item, record, model) ? "yes" : "no")
        << (IsReadOnly(item) ? "read-only" : "settable") << '\n';
  }
}

nlohmann::json RecordItemsJson(const SettingsRecord& record, ModelCode model) {
  nlohmann::json items = nlohmann::json::array();
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    items.push_back({{"index", item},
                     {"block", InfoOf(BlockOf(item)).tabName},
                     {"item", PageLabelOf(item)},
                     {"keyword", KeywordOf(item)},
                     {"value", LabelOf(item, record).value_or("")},
                     {"position", record[item]},
                     {"inEffect", InEffect(item, record, model)},
                     {"readOnly", IsReadOnly(item)},
                     {"sent", IsSentNow(item, record, model)}});
  }
  return items;
}

}  // namespace rovant::cli
