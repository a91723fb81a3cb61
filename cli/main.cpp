// rovantctl: the HX310/HX320 setup tool for scripts and fleets.
#include <iostream>
#include <string_view>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli_front/standard_output.hpp"
#include "platform/native_file_system.hpp"
#include "rovant_version.h"

namespace {

// A file option given an empty name ("-o ''"), which the option parser
// would take for no value at all; nothing when there is none.
const char* EmptyFileOption(int argc, char** argv) {
  static constexpr std::string_view kFileOptions[] = {"-o", "--output", "--paper", "--state"};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    for (const std::string_view option : kFileOptions) {
      const bool apart = arg == option && i + 1 < argc && argv[i + 1][0] == '\0';
      const bool joined = arg.size() == option.size() + 1 && arg.starts_with(option) &&
                          arg.back() == '=' && option.starts_with("--");
      if (apart || joined) return argv[i];
    }
  }
  return nullptr;
}

int Run(int argc, char** argv) {
  using namespace rovant::cli;
  if (const char* option = EmptyFileOption(argc, argv)) {
    std::cerr << "rovantctl: " << option << ": the file name is empty\n";
    return kExitUsage;
  }
  rovant::NativeFileSystem fs;
  CommandEnv env{fs};

  rovant::front::CommandLine line{
      "rovantctl - settings of HX310 and HX320 serial-impact printers.\n"
      "Works on setting files (.fom): 87 bytes, one per menu item, as ROVANT saves them.",
      "rovantctl",
      {.usage = kExitUsage}};
  CLI::App& app = line.app();
  app.require_subcommand(1);
  app.set_version_flag("--version", "rovantctl " ROVANT_VERSION_TEXT);
  app.footer(
      "Exit status: 0 success, 1 bad data or a failed operation, 2 wrong usage.\n"
      "Run 'rovantctl COMMAND --help' for a command's own options.");

  AddDefaultsCommand(line, env);
  AddShowCommand(line, env);
  AddTextCommand(line, env);
  AddSetCommand(line, env);
  AddDiffCommand(line, env);
  AddDecodeCommand(line, env);
#ifdef ROVANT_DISCOVER_COMMAND
  AddDiscoverCommand(line, env);
#endif
  AddPrinterCommands(line, env);
  AddProfileCommand(line, env);
  AddFleetCommand(line, env);

  return line.Run(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  return rovant::front::CheckedOutput("rovantctl", Run(argc, argv));
}
