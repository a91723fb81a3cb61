// rovantctl: the HX310/HX320 setup tool for scripts and fleets.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "platform/native_file_system.hpp"
#include "rovant_version.h"

namespace {

// Everything written to standard output reached it, or the command fails
// (a full disk, a closed pipe) with the system's reason.
int CheckedOutput(int code) {
  std::cout.flush();
  const bool lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (!lost) return code;
  const int error = errno;
  std::cerr << "rovantctl: writing to standard output failed: " << std::strerror(error) << '\n';
  return code == rovant::cli::kExitOk ? rovant::cli::kExitFailed : code;
}

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

  CLI::App app{
      "rovantctl - settings of HX310 and HX320 serial-impact printers.\n"
      "Works on setting files (.fom): 87 bytes, one per menu item, as ROVANT saves them.",
      "rovantctl"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "rovantctl " ROVANT_VERSION_TEXT);
  app.footer(
      "Exit status: 0 success, 1 bad data or a failed operation, 2 wrong usage.\n"
      "Run 'rovantctl COMMAND --help' for a command's own options.");

  AddDefaultsCommand(app, env);
  AddShowCommand(app, env);
  AddTextCommand(app, env);
  AddSetCommand(app, env);
  AddDiffCommand(app, env);
  AddDecodeCommand(app, env);
#ifdef ROVANT_DISCOVER_COMMAND
  AddDiscoverCommand(app, env);
#endif
  AddPrinterCommands(app, env);
#ifdef ROVANT_FLEET_COMMANDS
  AddProfileCommand(app, env);
  AddFleetCommand(app, env);
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  return env.exitCode;
}

}  // namespace

int main(int argc, char** argv) { return CheckedOutput(Run(argc, argv)); }
