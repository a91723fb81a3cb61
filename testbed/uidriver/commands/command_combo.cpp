// rovant-uidriver combo ID [--select ITEM] TARGET
#include <iostream>
#include <memory>
#include <vector>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct ComboOptions {
  Target target;
  int id = 0;
  std::string choice;
};

int Combo(const ComboOptions& options) {
  HWND window = Resolve(options.target);
  HWND control = window != nullptr ? FindShownChild(window, options.id) : nullptr;
  if (control == nullptr) return kDriverNotFound;
  if (!options.choice.empty()) {
    if (SelectComboItem(control, Widen(options.choice))) return kDriverOk;
    std::cerr << "rovant-uidriver: no item \"" << options.choice << "\"\n";
    return kDriverNotFound;
  }
  const int selected = ComboSelection(control);
  const std::vector<std::wstring> items = ComboItems(control);
  for (std::size_t i = 0; i < items.size(); ++i)
    std::cout << (static_cast<int>(i) == selected ? "* " : "  ") << Narrow(items[i]) << '\n';
  return kDriverOk;
}

}  // namespace

void AddComboCommand(front::CommandLine& line) {
  auto options = std::make_shared<ComboOptions>();
  CLI::App* combo = line.app().add_subcommand(
      "combo", "print a combo box's items and selection (marked *), or select an item");
  combo->add_option("id", options->id, "the combo box's control id")->required();
  combo->add_option("--select", options->choice, "select this item, as a user's choice would");
  AddTargetOptions(*combo, options->target);
  line.OnRun(*combo, [options] { return Combo(*options); });
}

}  // namespace rovant::uidriver
