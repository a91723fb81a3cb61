// rovantctl defaults -o FILE
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {

void AddDefaultsCommand(front::CommandLine& line, CommandEnv& env) {
  CLI::App* command = line.app().add_subcommand(
      "defaults", "Write a setting file holding the printer's factory defaults.");
  auto output = std::make_shared<std::string>();
  command->add_option("-o,--output", *output, "Setting file to write (replaced if it exists)")
      ->required();
  line.OnRun(*command, [&env, output] {
    return Reported(WriteRecord(env.fs, *output, kFactoryDefaults), std::cerr) ? kExitOk
                                                                               : kExitFailed;
  });
}

}  // namespace rovant::cli
