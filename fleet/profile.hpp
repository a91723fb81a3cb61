// Profiles: the settings a fleet should have, as BLOCK.ITEM -> label pairs,
// applied to a settings record the way the setting pages change it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/item_names.hpp"
#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::fleet {

// One line of a profile: the item and the label wanted (blanks around it may be left out).
struct ProfileEntry {
  ItemIndex item = 0;
  std::string value;
  int line = 0;  // where it stands in the file (0: not from a file)
};

struct Profile {
  std::vector<ProfileEntry> entries;  // in the file's order, each item at most once
};

// A line and the reason it cannot be used.
struct ProfileProblem {
  int line = 0;
  std::string reason;
};

// Applies the profile to `record`: a changed EMULATE of MENU1 or MENU2 resets
// its block first, then the profile's other items apply, each label looked up
// in the list in force once the emulations are set. Read-only items and labels
// outside their list are refused; with `model`, so are items that a printer of
// that model never takes. On any problem the record is left as it was.
std::vector<ProfileProblem> ApplyProfile(const Profile& profile, SettingsRecord& record,
                                         std::optional<ModelCode> model = std::nullopt);

// The profile that gives `record`'s values for `items` (every settable item
// when empty), EMULATE first in each block.
Profile ProfileOfRecord(const SettingsRecord& record, std::span<const ItemIndex> items = {});

// An item whose value read from the printer is not the one wanted.
struct ItemDifference {
  ItemIndex item = 0;
  std::string want;
  std::string got;
};

// The items a transfer of `want` sends to a `model` printer and a read brings
// back, whose values in `got` differ.
std::vector<ItemDifference> Differences(const SettingsRecord& want, const SettingsRecord& got,
                                        ModelCode model);

}  // namespace rovant::fleet
