// The rovantctl commands. Each adds itself to the application and sets the
// exit code when it runs.
#pragma once

#include "platform/file_system.hpp"

namespace CLI {
class App;
}  // namespace CLI

namespace rovant::cli {

struct CommandEnv {
  FileSystem& fs;
  int exitCode = 0;
};

void AddDefaultsCommand(CLI::App& app, CommandEnv& env);
void AddShowCommand(CLI::App& app, CommandEnv& env);
void AddTextCommand(CLI::App& app, CommandEnv& env);
void AddSetCommand(CLI::App& app, CommandEnv& env);
void AddDiffCommand(CLI::App& app, CommandEnv& env);
void AddDecodeCommand(CLI::App& app, CommandEnv& env);
void AddPrinterCommands(CLI::App& app, CommandEnv& env);
// Profiles and fleets (builds with yaml-cpp).
void AddProfileCommand(CLI::App& app, CommandEnv& env);
void AddFleetCommand(CLI::App& app, CommandEnv& env);
// Finding printers by SNMP (Linux builds with net-snmp).
void AddDiscoverCommand(CLI::App& app, CommandEnv& env);

}  // namespace rovant::cli
