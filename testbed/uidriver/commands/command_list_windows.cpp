// rovant-uidriver list-windows [--pid N]
#include <iostream>
#include <memory>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {

void AddListWindowsCommand(front::CommandLine& line) {
  auto pid = std::make_shared<DWORD>(0);
  CLI::App* list =
      line.app().add_subcommand("list-windows", "list top-level windows and their children");
  list->add_option("--pid", *pid, "only windows of this process id (hidden ones too)");
  line.OnRun(*list, [pid] {
    std::cout << DescribeWindows(*pid);
    return kDriverOk;
  });
}

}  // namespace rovant::uidriver
