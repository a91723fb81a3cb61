#include "fleet/yaml_files.hpp"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "model/catalogue.hpp"

namespace rovant::fleet {
namespace {

int LineOf(const YAML::Node& node) { return node.Mark().line + 1; }

// Parses the text; a syntax error becomes the one problem. No exception leaves.
std::optional<YAML::Node> Load(std::string_view text, std::vector<ProfileProblem>& problems) {
  try {
    return YAML::Load(std::string(text));
  } catch (const YAML::Exception& e) {
    problems.push_back({e.mark.line + 1, "not valid YAML: " + e.msg});
  } catch (const std::exception& e) {
    problems.push_back({0, std::string("cannot be read: ") + e.what()});
  }
  return std::nullopt;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

bool UsableName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name.front() == '.') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
  });
}

// The text of a scalar, or a problem.
std::optional<std::string> ScalarText(const YAML::Node& node, std::string_view what,
                                      std::vector<ProfileProblem>& problems) {
  if (!node.IsScalar()) {
    problems.push_back({LineOf(node), std::string(what) + ": a text value is expected"});
    return std::nullopt;
  }
  return node.Scalar();
}

struct PrinterFields {
  std::optional<std::string> name, printer, state, model;
  std::optional<std::vector<std::string>> groups;
};

// Reads the keys of a printer entry or of the defaults.
PrinterFields ReadFields(const YAML::Node& map, bool defaults,
                         std::vector<ProfileProblem>& problems) {
  PrinterFields fields;
  for (const auto& pair : map) {
    const std::string key = pair.first.IsScalar() ? pair.first.Scalar() : std::string();
    const YAML::Node& value = pair.second;
    if (key == "groups") {
      std::vector<std::string> groups;
      if (value.IsScalar()) {
        groups.push_back(value.Scalar());
      } else if (value.IsSequence()) {
        for (const YAML::Node& g : value) {
          if (std::optional<std::string> text = ScalarText(g, "groups", problems))
            groups.push_back(*text);
        }
      } else {
        problems.push_back({LineOf(value), "groups: a list of names is expected"});
      }
      fields.groups = groups;
      continue;
    }
    std::optional<std::string>* slot = key == "model"     ? &fields.model
                                       : key == "state"   ? &fields.state
                                       : key == "name"    ? &fields.name
                                       : key == "printer" ? &fields.printer
                                                          : nullptr;
    if (slot == nullptr || (defaults && (key == "name" || key == "printer" || key == "state"))) {
      problems.push_back(
          {LineOf(pair.first), "unknown key \"" + key + "\"; " +
                                   (defaults ? "defaults take model and groups"
                                             : "a printer takes name, printer, model, groups and "
                                               "state")});
      continue;
    }
    *slot = ScalarText(value, key, problems);
  }
  return fields;
}

}  // namespace

std::optional<ModelCode> ParseModel(std::string_view name) {
  for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320, ModelCode::kOther}) {
    if (EqualIgnoringCase(name, NameOf(model))) return model;
  }
  return std::nullopt;
}

std::vector<ProfileProblem> ParseProfileYaml(std::string_view text, Profile& profile) {
  std::vector<ProfileProblem> problems;
  const std::optional<YAML::Node> root = Load(text, problems);
  if (!root) return problems;
  if (!root->IsMap()) {
    problems.push_back({root->IsDefined() ? LineOf(*root) : 1,
                        "a profile maps BLOCK.ITEM to a value, e.g. MENU1.PITCH: 12 CPI"});
    return problems;
  }
  Profile result;
  std::set<ItemIndex> seen;
  for (const auto& pair : *root) {
    const int line = LineOf(pair.first);
    if (!pair.first.IsScalar()) {
      problems.push_back({line, "a key must be BLOCK.ITEM"});
      continue;
    }
    std::string reason;
    const std::optional<ItemIndex> item = ParseItemKey(pair.first.Scalar(), reason);
    if (!item) {
      problems.push_back({line, reason});
      continue;
    }
    if (!seen.insert(*item).second) {
      problems.push_back({line, ItemKey(*item) + " is named twice"});
      continue;
    }
    const std::optional<std::string> value = ScalarText(pair.second, ItemKey(*item), problems);
    if (value) result.entries.push_back({*item, *value, line});
  }
  profile = std::move(result);
  return problems;
}

std::string ProfileToYaml(const Profile& profile, const SettingsRecord& record) {
  std::string text = "# rovantctl profile: BLOCK.ITEM: the printer's own label\n";
  for (const ProfileEntry& entry : profile.entries) {
    text += ItemKey(entry.item) + ": " + Quote(entry.value) + '\n';
  }
  bool header = false;
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!IsReadOnly(item)) continue;
    if (!header) text += "# read-only, kept as the printer has them:\n";
    header = true;
    text += "# " + ItemKey(item) + ": " + Quote(LabelOf(item, record).value_or("?")) + '\n';
  }
  return text;
}

std::vector<ProfileProblem> ParseInventoryYaml(std::string_view text, Inventory& inventory,
                                               const PrinterCheck& checkPrinter) {
  std::vector<ProfileProblem> problems;
  const std::optional<YAML::Node> root = Load(text, problems);
  if (!root) return problems;
  if (!root->IsMap() || !(*root)["printers"] || !(*root)["printers"].IsSequence()) {
    problems.push_back({root->IsDefined() ? LineOf(*root) : 1,
                        "an inventory has \"printers:\", a list of {name, printer} entries"});
    return problems;
  }
  PrinterFields defaults;
  for (const auto& pair : *root) {
    const std::string key = pair.first.IsScalar() ? pair.first.Scalar() : std::string();
    if (key == "defaults") {
      if (pair.second.IsMap()) {
        defaults = ReadFields(pair.second, true, problems);
      } else {
        problems.push_back({LineOf(pair.second), "defaults: a mapping is expected"});
      }
    } else if (key != "printers") {
      problems.push_back({LineOf(pair.first),
                          "unknown key \"" + key + "\"; an inventory has defaults and printers"});
    }
  }
  Inventory result;
  std::set<std::string> names;
  for (const YAML::Node& entry : (*root)["printers"]) {
    const int line = LineOf(entry);
    if (!entry.IsMap()) {
      problems.push_back({line, "a printer entry is a mapping: {name: N, printer: P}"});
      continue;
    }
    const PrinterFields fields = ReadFields(entry, false, problems);
    InventoryPrinter printer;
    printer.line = line;
    if (!fields.name || !fields.printer) {
      problems.push_back({line, "a printer needs both name and printer"});
      continue;
    }
    printer.name = *fields.name;
    printer.printer = *fields.printer;
    if (!UsableName(printer.name)) {
      problems.push_back({line, "name \"" + printer.name +
                                    "\": letters, digits, '-', '_' and '.' only (it names files)"});
    } else if (!names.insert(printer.name).second) {
      problems.push_back({line, "name \"" + printer.name + "\" is used twice"});
    }
    if (std::optional<std::string> why = checkPrinter(printer.printer)) {
      problems.push_back({line, printer.name + ": printer: " + *why});
    }
    const std::optional<std::string> model = fields.model ? fields.model : defaults.model;
    if (model) {
      const std::optional<ModelCode> code = ParseModel(*model);
      if (!code) {
        problems.push_back({line, "model \"" + *model + "\": HX310, HX320 or other expected"});
      } else {
        printer.model = *code;
      }
    }
    printer.state = fields.state.value_or(defaults.state.value_or(""));
    if (fields.state && printer.state.empty()) {
      problems.push_back({line, "state: a file name is expected"});
    }
    printer.groups = fields.groups.value_or(defaults.groups.value_or(std::vector<std::string>{}));
    result.printers.push_back(std::move(printer));
  }
  if (result.printers.empty() && problems.empty()) {
    problems.push_back({LineOf((*root)["printers"]), "the inventory lists no printer"});
  }
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const ProfileProblem& a, const ProfileProblem& b) { return a.line < b.line; });
  if (problems.empty()) inventory = std::move(result);
  return problems;
}

}  // namespace rovant::fleet
