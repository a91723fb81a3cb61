// rovant-uidriver select-row TEXT TARGET
#include <iostream>
#include <memory>
#include <vector>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct SelectOptions {
  Target target;
  std::string row;
};

int SelectRow(const SelectOptions& options) {
  HWND window = Resolve(options.target);
  const std::vector<HWND> lists =
      window != nullptr ? FindChildren(window, L"SysListView32") : std::vector<HWND>{};
  const int index = lists.empty() ? -1 : FindListViewRow(lists.front(), Widen(options.row));
  if (index >= 0 && SelectListViewRow(lists.front(), index)) return kDriverOk;
  std::cerr << "rovant-uidriver: no row \"" << options.row << "\"\n";
  if (!lists.empty())
    for (const auto& r : ListViewRows(lists.front())) std::cerr << "  " << Narrow(r) << '\n';
  return kDriverNotFound;
}

}  // namespace

void AddSelectRowCommand(front::CommandLine& line) {
  auto options = std::make_shared<SelectOptions>();
  CLI::App* select = line.app().add_subcommand(
      "select-row", "select the list view row whose first column is TEXT in a window");
  select->add_option("text", options->row, "the row's first column")->required();
  AddTargetOptions(*select, options->target);
  line.OnRun(*select, [options] { return SelectRow(*options); });
}

}  // namespace rovant::uidriver
