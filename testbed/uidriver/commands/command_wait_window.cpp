// rovant-uidriver wait-window [--alone MS] TARGET
#include <iostream>
#include <memory>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct WaitOptions {
  Target target;
  DWORD settleMs = 0;
};

int WaitForWindow(const WaitOptions& options) {
  const Target& target = options.target;
  HWND window = Resolve(target);
  if (window != nullptr && options.settleMs > 0) {
    WindowQuery query;
    query.processId = ProcessOf(window);
    query.className = ClassOf(window);
    window = WaitSoleWindow(query, options.settleMs, target.timeoutMs);
    if (window == nullptr)
      std::cerr << "rovant-uidriver: the window was not alone within " << target.timeoutMs
                << " ms\n"
                << DescribeWindows(0);
  }
  if (window == nullptr) return kDriverNotFound;
  std::cout << Hex(window) << '\n';
  return kDriverOk;
}

}  // namespace

void AddWaitWindowCommand(front::CommandLine& line) {
  auto options = std::make_shared<WaitOptions>();
  CLI::App* wait = line.app().add_subcommand("wait-window", "wait for a window; print its handle");
  AddTargetOptions(*wait, options->target);
  wait->add_option("--alone", options->settleMs,
                   "also wait until it is the only window its process shows, enabled, for this "
                   "many milliseconds (a main window behind dialogs and status windows)");
  line.OnRun(*wait, [options] { return WaitForWindow(*options); });
}

}  // namespace rovant::uidriver
