// A printer as the program knows it from the spooler.
#pragma once

#include <cstdint>
#include <string>

#include "model/model_code.hpp"

namespace rovant {

// How the printer's port is reached; anything else blocks setup.
enum PortState : int {
  kPortLocal = 0,      // LPT or USB, served by the spooler channel
  kPortLan = 1,        // the port name contains ":lp"
  kPortFile = 2,       // the port name begins with "FILE:"
  kPortPaused = 3,     // the printer is paused
  kPortNoBidi = 4,     // bidirectional support is switched off
  kPortOffline = 5,    // the printer is set to work offline
  kPortSeparator = 6,  // a separator page is set
  kPortUnusable = 255  // any other port, or the printer cannot be opened
};

struct PrinterEntry {
  std::string printerName;
  std::u16string printerNameWide;  // as the spooler gave it; filled only on the NT family
  std::string portName;
  int portState = kPortLocal;
  std::string driverName;
  ModelCode modelCode = ModelCode::kHx320;
  unsigned queuedJobs = 0;
  std::string lanPortName;  // the port name cut at its first colon
};

}  // namespace rovant
