// A print spooler with printers a test sets up; every call is recorded.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/spooler.hpp"
#include "tests/fakes/call_log.hpp"

namespace rovant::testing {

class FakeSpooler final : public Spooler, Recorder {
 public:
  using Recorder::Recorder;
  std::vector<SpoolerPrinter> EnumeratePrinters() override {
    return Logged("spooler enumerate", printers);
  }

  // Finds the printer by its ANSI name, or by its wide name when one is given
  // (as the NT family's spooler opens it). Scripted results come first.
  SpoolerRead ReadPrinter(const SpoolerPrinterName& name, SpoolerPrinter& facts) override {
    log_.Add("spooler read " + name.ansi);
    if (!readResults.empty()) {
      const SpoolerRead result = readResults.front();
      readResults.pop_front();
      if (result != SpoolerRead::kDone) return result;
    }
    for (const SpoolerPrinter& printer : printers) {
      const bool match = name.wide.empty() ? printer.printerName == name.ansi
                                           : printer.printerNameWide == name.wide;
      if (match) {
        facts = printer;
        return SpoolerRead::kDone;
      }
    }
    return SpoolerRead::kCannotOpen;
  }

  std::vector<SpoolerPrinter> printers;
  std::deque<SpoolerRead> readResults;  // answers to the next reads; then by the printers
};

}  // namespace rovant::testing
