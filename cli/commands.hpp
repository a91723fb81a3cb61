// The rovantctl commands. Each adds itself to the program's command line; its body
// returns the exit code.
#pragma once

#include "cli_front/command_line.hpp"
#include "platform/file_system.hpp"

namespace rovant::cli {

struct CommandEnv {
  FileSystem& fs;
};

void AddDefaultsCommand(front::CommandLine& line, CommandEnv& env);
void AddShowCommand(front::CommandLine& line, CommandEnv& env);
void AddTextCommand(front::CommandLine& line, CommandEnv& env);
void AddSetCommand(front::CommandLine& line, CommandEnv& env);
void AddDiffCommand(front::CommandLine& line, CommandEnv& env);
void AddDecodeCommand(front::CommandLine& line, CommandEnv& env);
void AddPrinterCommands(front::CommandLine& line, CommandEnv& env);
// Profiles and fleets (builds with yaml-cpp).
void AddProfileCommand(front::CommandLine& line, CommandEnv& env);
void AddFleetCommand(front::CommandLine& line, CommandEnv& env);
// Finding printers by SNMP (Linux builds with net-snmp).
void AddDiscoverCommand(front::CommandLine& line, CommandEnv& env);

}  // namespace rovant::cli
