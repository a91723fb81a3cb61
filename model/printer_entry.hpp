// A printer as the program knows it from the spooler.
#pragma once

#include <cstdint>
#include <string>

#include "model/model_code.hpp"

namespace rovant {

// How the printer's port is reached; anything else blocks setup.
enum PortState : int { kPortLocal = 0, kPortLan = 1 };

struct PrinterEntry {
  std::string printerName;
  std::string portName;
  int portState = kPortLocal;
  std::string driverName;
  ModelCode modelCode = ModelCode::kHx320;
  unsigned queuedJobs = 0;
  std::string lanPortName;  // the port name cut at its first colon
};

}  // namespace rovant
