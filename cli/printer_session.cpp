#include "cli/printer_session.hpp"

#include <cctype>
#include <ostream>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "sim/simulator_link.hpp"

#ifndef _WIN32
#include "connection/tcp_link.hpp"
#endif

namespace rovant::cli {

namespace {

constexpr std::string_view kTcpScheme = "TCP://";

// "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT" after tcp://.
std::optional<PrinterAddress> ParseTcpAddress(std::string_view rest, const std::string& text,
                                              std::string& error) {
  PrinterAddress address;
  address.kind = PrinterKind::kTcp;
  std::string_view portText;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) {
      error = "\"" + text + "\": the ']' after the IPv6 address is missing";
      return std::nullopt;
    }
    address.host = std::string(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') {
        error = "\"" + text + "\": ':PORT' or nothing expected after ']'";
        return std::nullopt;
      }
      portText = rest.substr(1);
      if (portText.empty()) portText = ":";  // an empty port is refused below
    }
  } else {
    const std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos && rest.find(':', colon + 1) != std::string_view::npos) {
      error = "\"" + text + "\": write an IPv6 address in brackets, e.g. tcp://[::1]:9100";
      return std::nullopt;
    }
    address.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = rest.substr(colon + 1);
      if (portText.empty()) portText = ":";
    }
  }
  if (address.host.empty() || address.host.find_first_of("/?#@ ") != std::string::npos) {
    error = "\"" + text + "\": a printer host name or address is expected after tcp://";
    return std::nullopt;
  }
  if (!portText.empty()) {
    unsigned port = 0;
    bool digits = portText.size() <= 5;
    for (const char c : portText) {
      if (c < '0' || c > '9') digits = false;
      if (digits) port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (!digits || port == 0 || port > 65535) {
      error = "\"" + text + "\": the port must be a number from 1 to 65535";
      return std::nullopt;
    }
    address.port = static_cast<std::uint16_t>(port);
  }
  if (!TcpPrintersSupported()) {
    error = "\"" + text + "\": printers on TCP are not supported by this build yet";
    return std::nullopt;
  }
  return address;
}

PrinterAddress SimulatorAddress(ModelCode model) {
  PrinterAddress address;
  address.model = model;
  return address;
}

}  // namespace

bool TcpPrintersSupported() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

std::optional<PrinterAddress> ParsePrinterAddress(const std::string& text, std::string& error) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "SIM:HX320") return SimulatorAddress(ModelCode::kHx320);
  if (upper == "SIM:HX310") return SimulatorAddress(ModelCode::kHx310);
  if (upper.starts_with(kTcpScheme)) {
    return ParseTcpAddress(std::string_view(text).substr(kTcpScheme.size()), text, error);
  }
  error = "unknown printer \"" + text + "\"; use sim:HX320, sim:HX310 or tcp://HOST[:PORT]";
  return std::nullopt;
}

PrinterSession::PrinterSession(const PrinterAddress& address, std::string statePath, FileSystem& fs)
    : address_(address), statePath_(std::move(statePath)), fs_(fs) {}

PrinterSession::~PrinterSession() = default;

std::unique_ptr<PrinterSession> PrinterSession::Open(const PrinterAddress& address,
                                                     const std::string& statePath, FileSystem& fs,
                                                     Clock& clock, std::ostream& err) {
  if (address.kind == PrinterKind::kTcp) {
#ifndef _WIN32
    auto session = std::make_unique<PrinterSession>(address, std::string(), fs);
    auto tcp = std::make_unique<TcpLink>(address.host, address.port);
    const TcpLink* view = tcp.get();
    session->linkError_ = [view] { return view->lastError(); };
    session->link_ = std::move(tcp);
    return session;
#else
    err << "rovantctl: printers on TCP are not supported by this build yet\n";
    return nullptr;
#endif
  }
  SettingsRecord memory = kFactoryDefaults;
  if (!statePath.empty()) {
    const LoadedSettings loaded = LoadSettingFile(fs, statePath);
    if (loaded.status == LoadStatus::kOk) {
      memory = loaded.record;
    } else if (loaded.status != LoadStatus::kNotFound) {
      err << "rovantctl: " << statePath
          << ": the simulated printer's state file cannot be used (it must hold the 87 bytes "
             "of a valid setting record)\n";
      return nullptr;
    }
  }
  auto session = std::make_unique<PrinterSession>(address, statePath, fs);
  session->printer_ = std::make_unique<sim::SimulatedPrinter>(address.model, memory);
  session->link_ = std::make_unique<sim::SimulatorLink>(*session->printer_, clock);
  return session;
}

PrinterLink& PrinterSession::link() { return *link_; }

std::string PrinterSession::paper() const { return printer_ ? printer_->paper() : std::string(); }

std::string PrinterSession::linkError() const { return linkError_ ? linkError_() : std::string(); }

bool PrinterSession::Close(std::ostream& err) {
  if (statePath_.empty() || !printer_) return true;
  if (WriteSettingFile(fs_, statePath_, printer_->memory(), WritePolicy::kReplace) ==
      FileStatus::kOk)
    return true;
  err << "rovantctl: " << statePath_ << ": cannot write the simulated printer's state file\n";
  return false;
}

}  // namespace rovant::cli
