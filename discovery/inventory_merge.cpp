#include "discovery/inventory_merge.hpp"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <set>

#include "fleet/yaml_files.hpp"

namespace rovant::discovery {
namespace {

// tcp://HOST and tcp://HOST:9100 reach the same printer.
std::string SamePrinter(std::string form) {
  if (form.starts_with("tcp://") && form.ends_with(":9100")) form.resize(form.size() - 5);
  return form;
}

std::string ProblemsText(const std::vector<fleet::ProfileProblem>& problems) {
  std::string text;
  for (const fleet::ProfileProblem& p : problems) {
    if (!text.empty()) text += "; ";
    text += "line " + std::to_string(p.line) + ": " + p.reason;
  }
  return text;
}

// Accepts every --printer form: the inventory is only rewritten here, and fleet
// checks the forms when it runs.
std::optional<std::string> AnyPrinter(const std::string&) { return std::nullopt; }

}  // namespace

std::string NameFor(const FoundPrinter& printer) {
  std::string name = std::string(NameOf(printer.model)) + "-" + printer.address;
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c == '.' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  return name;
}

Expected<MergeResult> MergeIntoInventory(const std::optional<std::string>& existing,
                                         const std::vector<FoundPrinter>& found) {
  fleet::Inventory inventory;
  YAML::Node root;
  if (existing) {
    const std::vector<fleet::ProfileProblem> problems =
        fleet::ParseInventoryYaml(*existing, inventory, AnyPrinter);
    if (!problems.empty()) {
      return Fail(ProblemsText(problems));
    }
    try {
      root = YAML::Load(*existing);
    } catch (const std::exception& e) {
      return Fail(std::string("cannot be read: ") + e.what());
    }
  } else {
    root["printers"] = YAML::Node(YAML::NodeType::Sequence);
  }
  std::set<std::string> names;
  std::vector<std::pair<std::string, std::string>> listed;  // printer form, name
  for (const fleet::InventoryPrinter& p : inventory.printers) {
    names.insert(p.name);
    listed.emplace_back(SamePrinter(p.printer), p.name);
  }
  MergeResult result;
  YAML::Node printers = root["printers"];
  for (const FoundPrinter& f : found) {
    const auto known = std::find_if(listed.begin(), listed.end(), [&](const auto& entry) {
      return entry.first == SamePrinter(f.printer);
    });
    if (known != listed.end()) {
      result.kept.push_back(known->second);
      continue;
    }
    std::string name = NameFor(f);
    for (int n = 2; names.count(name) != 0; ++n) name = NameFor(f) + "-" + std::to_string(n);
    names.insert(name);
    listed.emplace_back(SamePrinter(f.printer), name);
    YAML::Node entry(YAML::NodeType::Map);
    entry["name"] = name;
    entry["printer"] = f.printer;
    entry["model"] = std::string(NameOf(f.model));
    entry.SetStyle(YAML::EmitterStyle::Flow);
    printers.push_back(entry);
    result.added.push_back(name);
  }
  YAML::Emitter out;
  out << root;
  result.text = std::string(out.c_str()) + "\n";
  return result;
}

}  // namespace rovant::discovery
