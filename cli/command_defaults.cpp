// rovantctl defaults -o FILE
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {

void AddDefaultsCommand(CLI::App& app, CommandEnv& env) {
  CLI::App* command = app.add_subcommand(
      "defaults", "Write a setting file holding the printer's factory defaults.");
  auto output = std::make_shared<std::string>();
  command->add_option("-o,--output", *output, "Setting file to write (replaced if it exists)")
      ->required();
  command->callback([&env, output] {
    env.exitCode =
        WriteRecord(env.fs, *output, kFactoryDefaults, std::cerr) ? kExitOk : kExitFailed;
  });
}

}  // namespace rovant::cli
