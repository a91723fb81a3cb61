// A printer in the Windows spooler, reached as the setup program reaches one
// on a local port: a one-byte job through the spooler and the command and
// reply text through the reply mailbox the driver's language monitor serves.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/printer_link.hpp"

namespace rovant::cli {

struct SpoolerPrinterInfo {
  std::string driverName;
  std::string portName;
};

// What the spooler knows of the printer; nothing when it cannot be opened.
std::optional<SpoolerPrinterInfo> LookUpSpoolerPrinter(const std::string& printerName);

// The link for `printerName`, with the mailbox names and spooler calls this
// system calls for. Its LastError tells the reply mailbox's last failure.
std::unique_ptr<PrinterLink> MakeSpoolerLink(const std::string& printerName);

}  // namespace rovant::cli
