#include "cli/printer_session.hpp"

#include <cctype>
#include <ostream>
#include <vector>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "sim/printer_state.hpp"
#include "sim/simulator_link.hpp"

#ifdef _WIN32
#include "cli/spooler_link.hpp"
#endif
#include "connection/tcp_link.hpp"
#ifdef _WIN32
#include "cli/lan_printer_link.hpp"
#endif
#ifndef _WIN32
#include "connection/device_link.hpp"
#endif

namespace rovant::cli {

namespace {

constexpr std::string_view kTcpScheme = "TCP://";
constexpr std::string_view kLanScheme = "LAN:";
constexpr std::string_view kSpoolerScheme = "SPOOLER:";
constexpr std::string_view kUsbScheme = "USB:";
constexpr std::string_view kParallelScheme = "PARALLEL:";

// The device file's absolute path after usb: or parallel:.
Expected<PrinterAddress> ParseDeviceAddress(std::string_view path, const std::string& text) {
  if (path.empty() || path.front() != '/') {
    return Fail("\"" + text +
                "\": the device file's absolute path is expected, e.g. usb:/dev/usb/lp0 or "
                "parallel:/dev/lp0");
  }
  if (!DevicePrintersSupported()) {
    return Fail("\"" + text +
                "\": printers on a device file are not supported by the Windows build");
  }
  PrinterAddress address;
  address.kind = PrinterKind::kDevice;
  address.device = std::string(path);
  return address;
}

// "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT" after tcp://.
Expected<PrinterAddress> ParseTcpAddress(std::string_view rest, const std::string& text) {
  PrinterAddress address;
  address.kind = PrinterKind::kTcp;
  std::string_view portText;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) {
      return Fail("\"" + text + "\": the ']' after the IPv6 address is missing");
    }
    address.host = std::string(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') {
        return Fail("\"" + text + "\": ':PORT' or nothing expected after ']'");
      }
      portText = rest.substr(1);
      if (portText.empty()) portText = ":";  // an empty port is refused below
    }
  } else {
    const std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos && rest.find(':', colon + 1) != std::string_view::npos) {
      return Fail("\"" + text + "\": write an IPv6 address in brackets, e.g. tcp://[::1]:9100");
    }
    address.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = rest.substr(colon + 1);
      if (portText.empty()) portText = ":";
    }
  }
  if (address.host.empty() || address.host.find_first_of("/?#@ ") != std::string::npos) {
    return Fail("\"" + text + "\": a printer host name or address is expected after tcp://");
  }
  if (!portText.empty()) {
    unsigned port = 0;
    bool digits = portText.size() <= 5;
    for (const char c : portText) {
      if (c < '0' || c > '9') digits = false;
      if (digits) port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (!digits || port == 0 || port > 65535) {
      return Fail("\"" + text + "\": the port must be a number from 1 to 65535");
    }
    address.port = static_cast<std::uint16_t>(port);
  }
  return address;
}

PrinterAddress SimulatorAddress(ModelCode model) {
  PrinterAddress address;
  address.model = model;
  return address;
}

}  // namespace

bool SpoolerPrintersSupported() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

bool DevicePrintersSupported() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

bool TcpPrintersSupported() { return true; }

bool LanPrintersSupported() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

Expected<PrinterAddress> ParsePrinterAddress(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "SIM:HX320") return SimulatorAddress(ModelCode::kHx320);
  if (upper == "SIM:HX310") return SimulatorAddress(ModelCode::kHx310);
  if (upper.starts_with(kSpoolerScheme)) {
    PrinterAddress address;
    address.kind = PrinterKind::kSpooler;
    address.printerName = text.substr(kSpoolerScheme.size());
    if (address.printerName.empty()) {
      return Fail("\"" + text + "\": the printer's name in the spooler is expected after spooler:");
    }
    if (!SpoolerPrintersSupported()) {
      return Fail("\"" + text +
                  "\": printers in the Windows spooler are reached by the Windows build only");
    }
    return address;
  }
  if (upper.starts_with(kLanScheme)) {
    PrinterAddress address;
    address.kind = PrinterKind::kLan;
    address.host = text.substr(kLanScheme.size());
    if (address.host.empty() || address.host.front() == ':') {
      return Fail("\"" + text + "\": a port name is expected after lan:, e.g. lan:192.168.1.20:lp");
    }
    if (!LanPrintersSupported()) {
      return Fail("\"" + text +
                  "\": the LAN connection library is used by the Windows build only (use "
                  "tcp://HOST here)");
    }
    return address;
  }
  if (upper.starts_with(kTcpScheme)) {
    return ParseTcpAddress(std::string_view(text).substr(kTcpScheme.size()), text);
  }
  if (upper.starts_with(kUsbScheme)) {
    return ParseDeviceAddress(std::string_view(text).substr(kUsbScheme.size()), text);
  }
  if (upper.starts_with(kParallelScheme)) {
    return ParseDeviceAddress(std::string_view(text).substr(kParallelScheme.size()), text);
  }
  return Fail("unknown printer \"" + text + "\"; use " + PrinterForms(false));
}

std::string PrinterForms(bool explained) {
  struct Form {
    bool supported;
    const char* form;
    const char* meaning;
  };
  const Form forms[] = {
      {true, "sim:HX320", nullptr},
      {true, "sim:HX310", "a simulated printer"},
      {TcpPrintersSupported(), "tcp://HOST[:PORT]",
       "a printer on the network, raw TCP, port 9100 by default"},
      {DevicePrintersSupported(), "usb:PATH",
       "a printer's device file: usb:/dev/usb/lpN for USB, usb:/dev/lpN or parallel:/dev/lpN "
       "for a parallel port"},
      {SpoolerPrintersSupported(), "spooler:NAME",
       "a printer in the Windows spooler, through its driver's language monitor"},
      {LanPrintersSupported(), "lan:HOST:NAME",
       "a network printer's port, e.g. lan:192.168.1.20:lp, through SxJcp32.dll beside rovantctl"},
  };
  std::vector<std::string> parts;
  for (const Form& f : forms) {
    if (!f.supported) continue;
    parts.push_back(explained && f.meaning != nullptr ? std::string(f.form) + " (" + f.meaning + ")"
                                                      : std::string(f.form));
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " or " : ", ";
    text += parts[i];
  }
  return text;
}

PrinterSession::PrinterSession(const PrinterAddress& address, std::string statePath, FileSystem& fs)
    : address_(address), statePath_(std::move(statePath)), fs_(fs) {}

PrinterSession::~PrinterSession() = default;

std::unique_ptr<PrinterSession> PrinterSession::Open(const PrinterAddress& address,
                                                     const std::string& statePath, FileSystem& fs,
                                                     Clock& clock, std::ostream& err) {
  if (address.kind == PrinterKind::kSpooler) return OpenSpooler(address, fs, err);
  if (address.kind == PrinterKind::kDevice) {
#ifndef _WIN32
    auto session = std::make_unique<PrinterSession>(address, std::string(), fs);
    session->link_ = std::make_unique<DeviceLink>(address.device);
    return session;
#else
    err << "rovantctl: printers on a device file are not supported by the Windows build\n";
    return nullptr;
#endif
  }
  if (address.kind == PrinterKind::kLan) {
#ifdef _WIN32
    auto session = std::make_unique<PrinterSession>(address, std::string(), fs);
    session->link_ = std::make_unique<LanPrinterLink>(address.host, clock, err);
    return session;
#else
    err << "rovantctl: the LAN connection library is used by the Windows build only\n";
    return nullptr;
#endif
  }
  if (address.kind == PrinterKind::kTcp) {
    auto session = std::make_unique<PrinterSession>(address, std::string(), fs);
    auto tcp = std::make_unique<TcpLink>(address.host, address.port);
    const TcpLink* view = tcp.get();
    session->endFailed_ = [view] { return view->endFailed(); };
    session->link_ = std::move(tcp);
    return session;
  }
  SettingsRecord memory = kFactoryDefaults;
  if (!statePath.empty()) {
    // The same rule as the simulator's: exactly the 87 bytes of a valid record.
    const Expected<SettingsRecord> loaded = sim::LoadPrinterState(fs, statePath);
    if (!loaded) {
      err << "rovantctl: the simulated printer's " << loaded.error() << '\n';
      return nullptr;
    }
    memory = *loaded;
  }
  auto session = std::make_unique<PrinterSession>(address, statePath, fs);
  session->printer_ = std::make_unique<sim::SimulatedPrinter>(address.model, memory);
  session->link_ = std::make_unique<sim::SimulatorLink>(*session->printer_, clock);
  return session;
}

std::unique_ptr<PrinterSession> PrinterSession::OpenSpooler(const PrinterAddress& address,
                                                            FileSystem& fs, std::ostream& err) {
#ifdef _WIN32
  auto session = std::make_unique<PrinterSession>(address, std::string(), fs);
  const std::optional<SpoolerPrinterInfo> info = LookUpSpoolerPrinter(address.printerName);
  if (!info) {
    // The setup program would not offer it; the one-byte job will not reach a
    // printer, but a language monitor already serving the mailbox still answers.
    err << "rovantctl: note: the spooler has no printer \"" << address.printerName
        << "\": no job can start its language monitor\n";
  } else {
    session->portName_ = info->portName;
    const ModelCode model = ModelOfDriver(info->driverName);
    if (model == ModelCode::kOther) {
      err << "rovantctl: note: the printer \"" << address.printerName << "\" has the driver \""
          << info->driverName << "\", not one of this program's printers\n";
    } else {
      session->address_.model = model;
    }
  }
  session->link_ = MakeSpoolerLink(address.printerName);
  return session;
#else
  (void)fs;
  err << "rovantctl: printers in the Windows spooler are reached by the Windows build only\n";
  (void)address;
  return nullptr;
#endif
}

PrinterLink& PrinterSession::link() { return *link_; }

std::string PrinterSession::paper() const { return printer_ ? printer_->paper() : std::string(); }

std::string PrinterSession::linkError() const { return link_ ? link_->LastError() : std::string(); }

bool PrinterSession::endFailed() const { return endFailed_ && endFailed_(); }

bool PrinterSession::Close(std::ostream& err) {
  if (statePath_.empty() || !printer_) return true;
  const Expected<void> saved = sim::SavePrinterState(fs_, statePath_, printer_->memory());
  if (saved) return true;
  err << "rovantctl: the simulated printer's " << saved.error() << '\n';
  return false;
}

}  // namespace rovant::cli
