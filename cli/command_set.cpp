// rovantctl set FILE BLOCK.ITEM=VALUE...
#include <CLI/CLI.hpp>
#include <iostream>
#include <sstream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "model/catalogue.hpp"
#include "model/item_names.hpp"

namespace rovant::cli {
namespace {

struct SetOptions {
  std::string file;
  std::vector<std::string> assignments;
};

std::string ValuesOf(OptionList list) {
  std::string text;
  for (const OptionLabel& label : list) {
    if (!text.empty()) text += ", ";
    text += Quoted(label.view());
  }
  return text;
}

// Applies one "BLOCK.ITEM=VALUE" to the record as the setting pages would.
// On failure returns the reason and leaves the record as it was.
std::optional<std::string> Apply(const std::string& assignment, SettingsRecord& record,
                                 std::ostream& notes) {
  const std::size_t equals = assignment.find('=');
  const std::size_t dot = assignment.find('.');
  if (equals == std::string::npos || dot == std::string::npos || dot > equals) {
    return "expected BLOCK.ITEM=VALUE, for example MENU1.PITCH=\"12 CPI\"";
  }
  const std::string_view text(assignment);
  const std::string_view blockName = text.substr(0, dot);
  const std::string_view itemName = text.substr(dot + 1, equals - dot - 1);
  const std::string_view value = text.substr(equals + 1);

  const std::optional<MenuBlock> block = FindBlock(blockName);
  if (!block)
    return "no block \"" + std::string(blockName) +
           "\"; blocks: MENU1, MENU2, HARDWARE, ADJUST, CONFIG";
  const std::optional<ItemIndex> item = FindItem(*block, itemName);
  if (!item) {
    return "no item \"" + std::string(itemName) + "\" in " + std::string(InfoOf(*block).tabName);
  }
  const std::string name = DescribeItem(*item);
  if (IsReadOnly(*item)) return name + " is shown but never changed (read-only)";

  const OptionList list = ListInForce(*item, record);
  const LabelSearch found = FindLabel(list, value);
  if (found.match == LabelMatch::kAmbiguous) {
    return name + ": \"" + std::string(value) +
           "\" matches more than one value; give all seven "
           "characters";
  }
  if (found.match == LabelMatch::kNone) {
    return name + ": \"" + std::string(value) +
           "\" is not a value of this item here; values: " + ValuesOf(list);
  }

  const bool isEmulate = *item == kMenu1Emulate || *item == kMenu2Emulate;
  if (isEmulate && record[*item] != found.position) {
    ApplyEmulationReset(record, *block, found.position);
    notes << "rovantctl: note: " << name << " changed: the other " << InfoOf(*block).tabName
          << " items were reset for " << Quoted(list[found.position].view()) << '\n';
  } else {
    record[*item] = found.position;
  }
  // Model conditions aside, say when the value will not reach the printer.
  if (!InEffect(*item, record, ModelCode::kOther)) {
    notes << "rovantctl: note: " << name
          << " is not in effect with the present settings; it is kept but not sent\n";
  }
  return std::nullopt;
}

}  // namespace

void AddSetCommand(front::CommandLine& line, CommandEnv& env) {
  auto options = std::make_shared<SetOptions>();
  CLI::App* command = line.app().add_subcommand(
      "set",
      "Change items of a setting file, as the setting pages do: values are labels of the item's "
      "list in force (seven characters exactly, or unique once surrounding blanks are ignored). "
      "Changing EMULATE resets the other items of its block. Assignments apply in order; on any "
      "error nothing is written.");
  command->add_option("FILE", options->file, "Setting file (.fom) to change")->required();
  command
      ->add_option("ASSIGNMENT", options->assignments,
                   "BLOCK.ITEM=VALUE, e.g. MENU1.PITCH=\"12 CPI\" or CONFIG.LOCK=SETUP")
      ->required();
  line.OnRun(*command, [&env, options] {
    Expected<SettingsRecord> record = LoadRecord(env.fs, options->file);
    if (!Reported(record, std::cerr)) return kExitFailed;
    const SettingsRecord before = *record;
    std::ostringstream notes;
    for (const std::string& assignment : options->assignments) {
      if (const std::optional<std::string> error = Apply(assignment, *record, notes)) {
        std::cerr << "rovantctl: " << options->file << ": " << *error
                  << "\nrovantctl: nothing was written\n";
        return kExitFailed;
      }
    }
    std::cerr << notes.str();
    if (*record != before && !Reported(WriteRecord(env.fs, options->file, *record), std::cerr))
      return kExitFailed;
    for (ItemIndex item = 0; item < kItemCount; ++item) {
      if (record->at(item) == before[item]) continue;
      std::cout << DescribeItem(item) << ": " << DescribeChange(item, before, *record, " -> ")
                << '\n';
    }
    return kExitOk;
  });
}

}  // namespace rovant::cli
