// rovantctl: the HX310/HX320 setup tool for scripts and fleets.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "platform/native_file_system.hpp"
#include "rovant_version.h"

int main(int argc, char** argv) {
  using namespace rovant::cli;
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
  AddPrinterCommands(app, env);

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
