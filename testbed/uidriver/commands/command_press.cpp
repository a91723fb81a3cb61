// rovant-uidriver press BUTTON [TARGET]
#include <cstdlib>
#include <iostream>
#include <memory>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct PressOptions {
  Target target;
  std::string button;
};

int Press(const PressOptions& options) {
  const Target& target = options.target;
  HWND window =
      NamesWindow(target) ? Resolve(target) : WaitMessageBox(target.pid, target.timeoutMs);
  int id = ButtonNamed(options.button);
  if (id == 0) id = std::atoi(options.button.c_str());
  if (window == nullptr || id == 0 || !ClickButton(FindShownChild(window, id))) {
    std::cerr << "rovant-uidriver: no enabled button " << options.button << '\n'
              << DescribeWindows(target.pid);
    return kDriverNotFound;
  }
  return kDriverOk;
}

}  // namespace

void AddPressCommand(front::CommandLine& line) {
  auto options = std::make_shared<PressOptions>();
  CLI::App* press = line.app().add_subcommand(
      "press", "press a button of a window (default: the first message box of --pid)");
  press
      ->add_option("button", options->button,
                   "OK, Cancel, Abort, Retry, Ignore, Yes, No, or a control id")
      ->required();
  AddTargetOptions(*press, options->target);
  line.OnRun(*press, [options] { return Press(*options); });
}

}  // namespace rovant::uidriver
