// rovant-uidriver screenshot FILE [TARGET]
#include <iostream>
#include <memory>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct ShotOptions {
  Target target;
  std::string file;
};

int Screenshot(const ShotOptions& options) {
  const Target& target = options.target;
  const bool anyWindowNamed = NamesWindow(target) || target.pid != 0;
  HWND window = anyWindowNamed ? Resolve(target) : nullptr;
  if ((!anyWindowNamed || window != nullptr) && SaveScreenshot(window, Widen(options.file)))
    return kDriverOk;
  std::cerr << "rovant-uidriver: no screenshot written to " << options.file << '\n';
  return kDriverNotFound;
}

}  // namespace

void AddScreenshotCommand(front::CommandLine& line) {
  auto options = std::make_shared<ShotOptions>();
  CLI::App* shot = line.app().add_subcommand(
      "screenshot", "save the screen, or the window named by the options, as a PNG file");
  shot->add_option("file", options->file, "the PNG file to write")->required();
  AddTargetOptions(*shot, options->target);
  line.OnRun(*shot, [options] { return Screenshot(*options); });
}

}  // namespace rovant::uidriver
