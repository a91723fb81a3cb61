// rovantctl show [--model M] [--json] FILE
#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {
namespace {

struct ShowOptions {
  std::string file;
  ModelCode model = ModelCode::kHx320;
  bool json = false;
};

void PrintTable(const SettingsRecord& record, ModelCode model) {
  std::cout << std::left << std::setw(4) << "#" << std::setw(10) << "BLOCK" << std::setw(9)
            << "ITEM" << std::setw(10) << "VALUE" << std::setw(5) << "POS" << std::setw(11)
            << "IN EFFECT"
            << "ACCESS\n";
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    std::cout << std::left << std::setw(4) << item << std::setw(10) << InfoOf(BlockOf(item)).tabName
              << std::setw(9) << PageLabelOf(item) << std::setw(10)
              << Quoted(*LabelOf(item, record)) << std::setw(5)
              << static_cast<unsigned>(record[item]) << std::setw(11)
              << (InEffect(item, record, model) ? "yes" : "no")
              << (IsReadOnly(item) ? "read-only" : "settable") << '\n';
  }
}

void PrintJson(const std::string& file, const SettingsRecord& record, ModelCode model) {
  nlohmann::json items = nlohmann::json::array();
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    items.push_back({{"index", item},
                     {"block", InfoOf(BlockOf(item)).tabName},
                     {"item", PageLabelOf(item)},
                     {"keyword", KeywordOf(item)},
                     {"value", *LabelOf(item, record)},
                     {"position", record[item]},
                     {"inEffect", InEffect(item, record, model)},
                     {"readOnly", IsReadOnly(item)},
                     {"sent", IsSentNow(item, record, model)}});
  }
  const nlohmann::json document{{"file", file}, {"model", NameOf(model)}, {"items", items}};
  std::cout << document.dump(2) << '\n';
}

}  // namespace

void AddShowCommand(CLI::App& app, CommandEnv& env) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* command = app.add_subcommand(
      "show",
      "List every item of a setting file: block, item, shown value, position in its list, "
      "whether it is in effect for the model, and whether it is read-only.");
  AddModelOption(*command, options->model);
  command->add_flag("--json", options->json, "Print JSON instead of a table");
  command->add_option("FILE", options->file, "Setting file (.fom)")->required();
  command->callback([&env, options] {
    const std::optional<SettingsRecord> record = LoadRecord(env.fs, options->file, std::cerr);
    if (!record) {
      env.exitCode = kExitFailed;
      return;
    }
    if (options->json) {
      PrintJson(options->file, *record, options->model);
    } else {
      PrintTable(*record, options->model);
    }
    env.exitCode = kExitOk;
  });
}

}  // namespace rovant::cli
