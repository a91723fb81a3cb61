// The print spooler on Windows: the wide calls on the NT family, with every
// text converted to the ANSI code page, and the ANSI calls otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/spooler.hpp"

namespace rovant::ui {

class Win32Spooler final : public Spooler {
 public:
  explicit Win32Spooler(bool ntFamily) : ntFamily_(ntFamily) {}

  std::vector<SpoolerPrinter> EnumeratePrinters() override;
  SpoolerRead ReadPrinter(const SpoolerPrinterName& name, SpoolerPrinter& facts) override;

 private:
  bool ntFamily_;
};

}  // namespace rovant::ui
