#include "cli/printer_session.hpp"

#include <cctype>
#include <ostream>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "sim/simulator_link.hpp"

namespace rovant::cli {

std::optional<PrinterAddress> ParsePrinterAddress(const std::string& text, std::string& error) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "SIM:HX320") return PrinterAddress{ModelCode::kHx320};
  if (upper == "SIM:HX310") return PrinterAddress{ModelCode::kHx310};
  error = "unknown printer \"" + text + "\"; use sim:HX320 or sim:HX310";
  return std::nullopt;
}

PrinterSession::PrinterSession(const PrinterAddress& address, std::string statePath, FileSystem& fs)
    : address_(address), statePath_(std::move(statePath)), fs_(fs) {}

PrinterSession::~PrinterSession() = default;

std::unique_ptr<PrinterSession> PrinterSession::Open(const PrinterAddress& address,
                                                     const std::string& statePath, FileSystem& fs,
                                                     Clock& clock, std::ostream& err) {
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

std::string PrinterSession::paper() const { return printer_->paper(); }

bool PrinterSession::Close(std::ostream& err) {
  if (statePath_.empty()) return true;
  if (WriteSettingFile(fs_, statePath_, printer_->memory(), WritePolicy::kReplace) ==
      FileStatus::kOk)
    return true;
  err << "rovantctl: " << statePath_ << ": cannot write the simulated printer's state file\n";
  return false;
}

}  // namespace rovant::cli
