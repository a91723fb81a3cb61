// rovantctl show [--model M] [--json] FILE
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/record_output.hpp"

namespace rovant::cli {
namespace {

struct ShowOptions {
  std::string file;
  ModelCode model = ModelCode::kHx320;
  bool json = false;
};

}  // namespace

void AddShowCommand(front::CommandLine& line, CommandEnv& env) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* command = line.app().add_subcommand(
      "show",
      "List every item of a setting file: block, item, shown value, position in its list, "
      "whether it is in effect for the model, and whether it is read-only.");
  AddModelOption(*command, options->model);
  command->add_flag("--json", options->json, "Print JSON instead of a table");
  command->add_option("FILE", options->file, "Setting file (.fom)")->required();
  line.OnRun(*command, [&env, options] {
    const Expected<SettingsRecord> record = LoadRecord(env.fs, options->file);
    if (!Reported(record, std::cerr)) return kExitFailed;
    if (options->json) {
      const nlohmann::json document{{"file", options->file},
                                    {"model", NameOf(options->model)},
                                    {"items", RecordItemsJson(*record, options->model)}};
      std::cout << document.dump(2) << '\n';
    } else {
      PrintRecordTable(std::cout, *record, options->model);
    }
    return kExitOk;
  });
}

}  // namespace rovant::cli
