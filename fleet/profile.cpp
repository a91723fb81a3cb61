#include "fleet/profile.hpp"

#include <algorithm>

#include "model/catalogue.hpp"
#include "model/item_names.hpp"

namespace rovant::fleet {
namespace {

bool IsEmulate(ItemIndex item) { return item == kMenu1Emulate || item == kMenu2Emulate; }

bool ModelCondition(ItemIndex item) {
  const Condition condition = kCatalogue[item].condition;
  return condition == Condition::kWidthModel || condition == Condition::kModelIsNotHx310;
}

std::string Values(OptionList list) {
  std::string text;
  for (const OptionLabel& label : list) {
    if (!text.empty()) text += ", ";
    text += '"';
    text += label.view();
    text += '"';
  }
  return text;
}

// Sets one item from its label; the reason when it cannot be.
std::optional<std::string> SetItem(const ProfileEntry& entry, SettingsRecord& record,
                                   std::optional<ModelCode> model) {
  const std::string name = ItemKey(entry.item);
  if (IsReadOnly(entry.item)) return name + " is shown but never changed (read-only)";
  if (model && ModelCondition(entry.item) &&
      !ConditionHolds(kCatalogue[entry.item].condition, entry.item, record, *model, true)) {
    return name + " is not taken by an " + std::string(NameOf(*model)) + " printer";
  }
  const OptionList list = ListInForce(entry.item, record);
  const LabelSearch found = FindLabel(list, entry.value);
  if (found.match == LabelMatch::kAmbiguous) {
    return name + ": \"" + entry.value +
           "\" matches more than one value; give all seven characters";
  }
  if (found.match == LabelMatch::kNone) {
    return name + ": \"" + entry.value +
           "\" is not a value of this item here; values: " + Values(list);
  }
  if (IsEmulate(entry.item)) {
    if (record[entry.item] != found.position)
      ApplyEmulationReset(record, BlockOf(entry.item), found.position);
  } else {
    record[entry.item] = found.position;
  }
  return std::nullopt;
}

}  // namespace

std::vector<ProfileProblem> ApplyProfile(const Profile& profile, SettingsRecord& record,
                                         std::optional<ModelCode> model) {
  std::vector<ProfileProblem> problems;
  SettingsRecord result = record;
  // The emulations first: each resets its block, whatever order the file has.
  for (const bool emulatePass : {true, false}) {
    for (const ProfileEntry& entry : profile.entries) {
      if (IsEmulate(entry.item) != emulatePass) continue;
      if (std::optional<std::string> reason = SetItem(entry, result, model))
        problems.push_back({entry.line, std::move(*reason)});
    }
  }
  if (problems.empty()) record = result;
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const ProfileProblem& a, const ProfileProblem& b) { return a.line < b.line; });
  return problems;
}

Profile ProfileOfRecord(const SettingsRecord& record, std::span<const ItemIndex> items) {
  Profile profile;
  const auto add = [&](ItemIndex item) {
    if (IsReadOnly(item)) return;
    profile.entries.push_back({item, std::string(LabelOf(item, record).value_or("")), 0});
  };
  if (items.empty()) {
    for (ItemIndex item = 0; item < kItemCount; ++item) add(item);
  } else {
    for (const ItemIndex item : items) add(item);
  }
  std::stable_partition(profile.entries.begin(), profile.entries.end(),
                        [](const ProfileEntry& e) { return IsEmulate(e.item); });
  return profile;
}

std::vector<ItemDifference> Differences(const SettingsRecord& want, const SettingsRecord& got,
                                        ModelCode model) {
  std::vector<ItemDifference> differences;
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!IsSentNow(item, want, model) || !IsRead(item) || want[item] == got[item]) continue;
    differences.push_back({item, std::string(LabelOf(item, want).value_or("?")),
                           std::string(LabelOf(item, got).value_or("?"))});
  }
  return differences;
}

}  // namespace rovant::fleet
