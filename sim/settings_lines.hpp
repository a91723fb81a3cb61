// The printer's own texts of its settings: the reply lines of "?NVRAM  " and
// the printed setting list.
#pragma once

#include <span>
#include <string>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::sim {

inline constexpr std::size_t kSettingsLineWidth = 27;
// The junk a noisy line carries between reply lines.
inline constexpr std::string_view kNoise = "\x01##\r\n";
// The value a garbled item shows.
inline constexpr std::string_view kGarbledValue = "???????";

struct LineFaults {
  std::span<const ItemIndex> badValues;  // these items show kGarbledValue
  bool noise = false;                    // kNoise between lines
};

// Appends the settings lines (see SettingsLines) with the faults played.
void AppendSettingsLines(std::string& out, const SettingsRecord& record, ModelCode model,
                         const LineFaults& faults);

// One line per item the model has, in wire order: "MENU1    EMULATE  DPL24C+\n"
// (tab name and page label, each padded to nine, then the label; trailing
// blanks dropped).
std::string SettingListing(const SettingsRecord& record, ModelCode model);

}  // namespace rovant::sim
