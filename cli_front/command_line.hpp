// The command line of every ROVANT program (rovantctl, the simulators, the UI driver): CLI11
// reads it, then the chosen command's body runs and its return value is the exit code.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

namespace rovant::front {

// What a command does once its options are read; returns the process's exit code.
using CommandBody = std::function<int()>;

struct FrontExits {
  int usage = 2;  // a command line the parser refuses
};

class CommandLine {
 public:
  // `name` starts the messages of exceptions a body lets out ("NAME: reason").
  CommandLine(std::string description, std::string name, FrontExits exits = {});
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  CLI::App& app() { return app_; }

  // `command` (the program itself or one of its subcommands) runs `body` once the whole line is
  // read and accepted.
  void OnRun(CLI::App& command, CommandBody body);

  // Reads the command line and runs the chosen body: its exit code; 0 after --help and
  // --version; exits.usage when the parser refuses the line (saying why on
  // standard error) or a body lets an exception out (its reason on standard error). Without a
  // chosen body: 0.
  int Run(int argc, const char* const* argv);

 private:
  std::string name_;
  FrontExits exits_;
  CLI::App app_;
  CommandBody chosen_;
};

}  // namespace rovant::front
