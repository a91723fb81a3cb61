// The printer a rovantctl command talks to, named by --printer:
//   sim:HX320, sim:HX310   an in-process simulated printer (memory kept in --state FILE)
//   tcp://HOST[:PORT]      a printer on the network, raw TCP (port 9100 by default)
//   lan:HOST:NAME          a network printer's port (e.g. lan:192.168.1.20:lp), through
//                          the LAN connection library SxJcp32.dll (Windows builds only)
//   usb:PATH               a printer's device file: /dev/usb/lpN (USB) or /dev/lpN
//   parallel:PATH          (parallel port); PATH absolute (POSIX builds only)
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "base/expected.hpp"
#include "model/model_code.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
#include "platform/printer_link.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::cli {

enum class PrinterKind { kSimulator, kTcp, kSpooler, kDevice, kLan };

inline constexpr std::uint16_t kPrinterTcpPort = 9100;

struct PrinterAddress {
  PrinterKind kind = PrinterKind::kSimulator;
  ModelCode model = ModelCode::kHx320;   // the simulated printer's model (tcp: HX320)
  std::string host;                      // tcp: the printer's name or address; lan: the port name
  std::string printerName;               // spooler: the printer's name in the spooler
  std::string device;                    // device: the device file's path (HX320)
  std::uint16_t port = kPrinterTcpPort;  // tcp: the printer's port
};

// Parses the --printer text; on failure says why in `error`.
Expected<PrinterAddress> ParsePrinterAddress(const std::string& text);
// Whether this build can reach printers over TCP.
bool TcpPrintersSupported();
// The --printer forms this build takes, joined for a sentence ("A, B or C");
// `explained`: each followed by what it is.
std::string PrinterForms(bool explained);
// Whether this build can reach printers through the LAN connection library.
bool LanPrintersSupported();
// Whether this build can reach printers in the Windows spooler.
bool SpoolerPrintersSupported();
// Whether this build can reach printers through their device file.
bool DevicePrintersSupported();

class PrinterSession {
 public:
  // Opens the printer; on failure writes the reason to `err` and returns nothing.
  static std::unique_ptr<PrinterSession> Open(const PrinterAddress& address,
                                              const std::string& statePath, FileSystem& fs,
                                              Clock& clock, std::ostream& err);
  PrinterSession(const PrinterAddress& address, std::string statePath, FileSystem& fs);
  ~PrinterSession();
  PrinterSession(const PrinterSession&) = delete;
  PrinterSession& operator=(const PrinterSession&) = delete;

  PrinterLink& link();
  ModelCode model() const { return address_.model; }
  // The printer's port as the spooler gives it ("" when not in a spooler).
  const std::string& portName() const { return portName_; }
  bool simulated() const { return address_.kind == PrinterKind::kSimulator; }
  // What the printer printed so far (the simulator's paper; "" for a real printer).
  std::string paper() const;
  // Why the connection to a real printer last failed ("" when it did not, or simulated).
  std::string linkError() const;
  // Whether the printer reset the connection after the last send of an
  // exchange (a network printer): what was sent may not have arrived.
  bool endFailed() const;
  // Keeps the printer's memory (the simulator's state file); false on failure, reported.
  bool Close(std::ostream& err);

 private:
  static std::unique_ptr<PrinterSession> OpenSpooler(const PrinterAddress& address, FileSystem& fs,
                                                     std::ostream& err);

  PrinterAddress address_;
  std::string statePath_;
  FileSystem& fs_;
  std::unique_ptr<sim::SimulatedPrinter> printer_;
  std::unique_ptr<PrinterLink> link_;
  std::function<bool()> endFailed_;
  std::string portName_;
};

}  // namespace rovant::cli
