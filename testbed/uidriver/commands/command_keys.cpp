// rovant-uidriver keys CHORD... [--verbose] TARGET
#include <iostream>
#include <memory>
#include <vector>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct KeysOptions {
  Target target;
  std::vector<std::string> chords;
  bool verbose = false;
};

int TypeKeys(const KeysOptions& options) {
  std::vector<KeyChord> parsed;
  for (const std::string& c : options.chords) {
    const auto chord = ParseChord(c);
    if (!chord) {
      std::cerr << "rovant-uidriver: unknown key \"" << c << "\"\n";
      return kDriverUsage;
    }
    parsed.push_back(*chord);
  }
  int result = kDriverOk;
  HWND window = Resolve(options.target);
  if (window == nullptr || !BringToForeground(window) || !TypeChords(parsed)) {
    std::cerr << "rovant-uidriver: the keys could not be typed\n";
    result = kDriverNotFound;
  }
  if (options.verbose) {
    std::cerr << "foreground " << Hex(::GetForegroundWindow()) << " focus " << Hex(FocusOf(window))
              << '\n';
  }
  return result;
}

}  // namespace

void AddKeysCommand(front::CommandLine& line) {
  auto options = std::make_shared<KeysOptions>();
  CLI::App* keys = line.app().add_subcommand(
      "keys", "bring a window to the foreground and type key chords (needs an X display)");
  keys->add_option("chords", options->chords, "e.g. Tab Shift+Tab Ctrl+Tab Alt+R Escape Enter")
      ->required();
  keys->add_flag("--verbose", options->verbose,
                 "print the foreground window and the focus afterwards");
  AddTargetOptions(*keys, options->target);
  line.OnRun(*keys, [options] { return TypeKeys(*options); });
}

}  // namespace rovant::uidriver
