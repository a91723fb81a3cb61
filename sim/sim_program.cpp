#include "sim/sim_program.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "model/catalogue.hpp"
#include "model/item_names.hpp"
#include "sim/printer_state.hpp"
#include "sim/session_input.hpp"
#include "sim/settings_lines.hpp"

namespace rovant::sim {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Reads all of `in`; false when it is longer than kInputLimit or reading fails.
bool ReadInput(std::istream& in, std::string& input) {
  std::array<char, 4096> chunk{};
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (input.size() + got > kInputLimit) return false;
    input.append(chunk.data(), got);
  }
  return in.eof();
}

}  // namespace

std::optional<ModelCode> ParseModelName(std::string_view text) {
  for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320}) {
    if (EqualIgnoringCase(text, NameOf(model))) return model;
  }
  return std::nullopt;
}

std::optional<ItemIndex> ParseItemName(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::optional<MenuBlock> block = FindBlock(text.substr(0, dot));
  if (!block) return std::nullopt;
  return FindItem(*block, text.substr(dot + 1));
}

Expected<SettingsRecord> LoadStartingMemory(const SimOptions& options, FileSystem& fs) {
  if (options.statePath.empty()) return kFactoryDefaults;
  return LoadPrinterState(fs, options.statePath);
}

bool WriteOutPaper(SimulatedPrinter& printer, const SimOptions& options, std::ostream& paper,
                   std::ostream& err) {
  const std::size_t lost = printer.TakeListsNotPrinted();
  if (lost > 0) {
    err << "rovant-printer-sim: the paper ran out: " << lost
        << " setting list(s) not printed (at most " << kPaperLimit
        << " bytes of paper are kept until they are written out)\n";
  }
  errno = 0;
  paper << printer.TakePaper();
  paper.flush();
  if (paper) return true;
  const int error = errno;
  err << "rovant-printer-sim: "
      << (options.paperName.empty() ? std::string("standard error")
                                    : "the paper file " + options.paperName)
      << " cannot be written: " << (error != 0 ? std::strerror(error) : "write error") << '\n';
  return false;
}

int RunSimProgram(const SimOptions& options, FileSystem& fs, std::istream& in, std::ostream& out,
                  std::ostream& paper, std::ostream& err) {
  const Expected<SettingsRecord> loaded = LoadStartingMemory(options, fs);
  if (!loaded) {
    err << "rovant-printer-sim: " << loaded.error() << '\n';
    return kSimFailed;
  }
  const SettingsRecord& memory = *loaded;
  if (options.show) {
    out << SettingListing(memory, options.model);
    return kSimOk;
  }

  std::string input;
  if (!ReadInput(in, input)) {
    err << "rovant-printer-sim: standard input cannot be read or is longer than " << kInputLimit
        << " bytes\n";
    return kSimFailed;
  }
  SimulatedPrinter printer(options.model, memory);
  printer.faults() = options.faults;
  const SessionOutcome outcome = RunSession(printer, input);
  if (!outcome.received) {
    err << "rovant-printer-sim: the printer is switched off: nothing was taken\n";
    return kSimFailed;
  }
  out.write(outcome.reply.data(), static_cast<std::streamsize>(outcome.reply.size()));
  out.flush();
  const int outError = errno;

  int exit = kSimOk;
  if (!WriteOutPaper(printer, options, paper, err)) exit = kSimFailed;
  if (outcome.refusedSends > 0) {
    err << "rovant-printer-sim: " << outcome.refusedSends << " send(s) refused\n";
    exit = kSimFailed;
  }
  if (!options.statePath.empty()) {
    if (const Expected<void> saved = SavePrinterState(fs, options.statePath, printer.memory());
        !saved) {
      err << "rovant-printer-sim: " << saved.error() << '\n';
      exit = kSimFailed;
    }
  }
  if (!out) {
    err << "rovant-printer-sim: the reply cannot be written to standard output: "
        << std::strerror(outError) << '\n';
    exit = kSimFailed;
  }
  return exit;
}

}  // namespace rovant::sim
