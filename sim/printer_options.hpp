// The command-line options that choose the simulated printer and its faults,
// shared by rovant-printer-sim and rovant-monitor-sim.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "sim/sim_program.hpp"

namespace rovant::sim {

// The texts as given, turned into SimOptions by ResolvePrinterOptions.
struct PrinterOptionTexts {
  std::string model = "HX320";
  std::string reportModel;
  std::string paperPath;
  std::vector<std::string> badItems;
  std::vector<std::string> dropItems;
};

// --model, --state, --paper and the printer's fault options.
void AddPrinterOptions(CLI::App& app, PrinterOptionTexts& texts, SimOptions& options);
// Turns the names given into options; refused on a bad name.
Expected<void> ResolvePrinterOptions(const PrinterOptionTexts& texts, SimOptions& options);

}  // namespace rovant::sim
