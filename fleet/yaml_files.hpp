// Profiles and inventories as YAML text. Every refusal names the line and the
// reason; nothing is half-read.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/profile.hpp"
#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::fleet {

// A profile: a mapping of BLOCK.ITEM keys to labels. Unknown items, items
// named twice, and values that are not text are problems; `profile` gets the
// entries that are none (the caller refuses the whole when there are problems).
std::vector<ProfileProblem> ParseProfileYaml(std::string_view text, Profile& profile);

// The profile as YAML, each label quoted so that its blanks show; read-only
// items of `record` follow as comments.
std::string ProfileToYaml(const Profile& profile, const SettingsRecord& record);

struct InventoryPrinter {
  std::string name;
  std::string printer;  // a --printer form
  std::string state;    // sim: the simulated printer's state file ("": none)
  ModelCode model = ModelCode::kHx320;
  std::vector<std::string> groups;
  int line = 0;
};

struct Inventory {
  std::vector<InventoryPrinter> printers;  // in the file's order, names unique
};

// Why a --printer form cannot be used, or nothing when it can.
using PrinterCheck = std::function<std::optional<std::string>(const std::string&)>;

// "defaults: {model, groups, state}" and "printers: [{name, printer, model,
// groups, state}]". Names are unique and usable as file names.
std::vector<ProfileProblem> ParseInventoryYaml(std::string_view text, Inventory& inventory,
                                               const PrinterCheck& checkPrinter);

// "HX310", "HX320" or "other", any case.
std::optional<ModelCode> ParseModel(std::string_view name);

}  // namespace rovant::fleet
