#include "cli_front/command_line.hpp"

#include <exception>
#include <iostream>
#include <utility>

namespace rovant::front {

CommandLine::CommandLine(std::string description, std::string name, FrontExits exits)
    : name_(name), exits_(exits), app_(std::move(description), std::move(name)) {}

void CommandLine::OnRun(CLI::App& command, CommandBody body) {
  command.callback([this, body = std::move(body)] { chosen_ = body; });
}

int CommandLine::Run(int argc, const char* const* argv) {
  try {
    app_.parse(argc, argv);
    return chosen_ ? chosen_() : 0;
  } catch (const CLI::Success& e) {  // --help, --version
    return app_.exit(e);
  } catch (const CLI::ParseError& e) {
    app_.exit(e);
    return exits_.usage;
  } catch (const std::exception& e) {
    std::cerr << name_ << ": " << e.what() << '\n';
    return exits_.usage;
  }
}

}  // namespace rovant::front
