// What rovant-printer-sim does once its command line is read, apart from the
// process's own streams and files, so that tests can run it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "base/expected.hpp"
#include "model/model_code.hpp"
#include "platform/file_system.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

enum SimExit : int { kSimOk = 0, kSimFailed = 1, kSimUsage = 2 };

// The longest standard input taken: far more than any session sends.
inline constexpr std::size_t kInputLimit = std::size_t{1} << 20;

struct SimOptions {
  ModelCode model = ModelCode::kHx320;
  std::string statePath;  // empty: the memory starts as the factory defaults and is not kept
  std::string paperName;  // the --paper file, for messages (empty: standard error)
  bool show = false;      // print the memory and stop
  Faults faults;
};

// "HX310" or "HX320", any case.
std::optional<ModelCode> ParseModelName(std::string_view text);
// "BLOCK.ITEM" by tab or wire name and page label or keyword, any case ("menu1.pitch").
std::optional<ItemIndex> ParseItemName(std::string_view text);

// Loads the memory, then either shows it on `out` or plays one session read
// from `in`: the reply goes to `out`, printed setting lists to `paper`,
// errors to `err`; the memory is saved back. Returns a SimExit.
// The memory the printer starts with: the state file's, or the factory
// defaults without one; refused when the file is damaged.
Expected<SettingsRecord> LoadStartingMemory(const SimOptions& options, FileSystem& fs);

// Writes and flushes what `printer` printed to `paper` and drops it; says on
// `err` when lists did not fit on the paper or it cannot be written (false).
bool WriteOutPaper(SimulatedPrinter& printer, const SimOptions& options, std::ostream& paper,
                   std::ostream& err);

int RunSimProgram(const SimOptions& options, FileSystem& fs, std::istream& in, std::ostream& out,
                  std::ostream& paper, std::ostream& err);

}  // namespace rovant::sim
