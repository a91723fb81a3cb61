// Printing a settings record for people (a table) and for programs (JSON).
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::cli {

// One row per item: index, block, item, value, position, in effect, access.
void PrintRecordTable(std::ostream& out, const SettingsRecord& record, ModelCode model);

// One object per item with the same facts.
nlohmann::json RecordItemsJson(const SettingsRecord& record, ModelCode model);

}  // namespace rovant::cli
