// One printer's read and write operations with state of its own, so that many
// printers can be worked on at once: what the operations say is kept as the
// printer's reason instead of going to the terminal.
#pragma once

#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "cli/console_host.hpp"
#include "cli/printer_session.hpp"
#include "protocol/app_state.hpp"
#include "protocol/printer_operation.hpp"

namespace rovant::cli {

// The message of a printer of another model, as the setup program shows it.
inline constexpr std::string_view kOtherPrinterMessage =
    "Different printer is connected. \n Confirm the connected printer";

class PrinterJob {
 public:
  // `expected`: the model the printer must be (nothing: the printer's own).
  PrinterJob(FileSystem& fs, std::string printer, std::string statePath,
             std::optional<ModelCode> expected);
  ~PrinterJob();
  PrinterJob(const PrinterJob&) = delete;
  PrinterJob& operator=(const PrinterJob&) = delete;

  bool Open();
  enum class Read { kDone, kOtherModel, kFailed };
  // Reads the settings (with the model check when `checkModel`) into settings().
  Read ReadSettings(bool checkModel);
  // Sends `record`; the printer stores it.
  bool Transfer(const SettingsRecord& record);
  // Ends the session (keeps a simulated printer's memory).
  bool Close();

  [[nodiscard]] const SettingsRecord& settings() const { return state_.settings; }
  [[nodiscard]] ModelCode model() const { return state_.selectedPrinter.modelCode; }
  [[nodiscard]] PrinterKind kind() const { return kind_; }
  // Everything the operations and the connection said, one message per "; ".
  [[nodiscard]] std::string reason() const;

 private:
  PrinterOperationContext Context();
  void NoResponse();

  FileSystem& fs_;
  std::string printer_;
  std::string statePath_;
  std::optional<ModelCode> expected_;
  PrinterKind kind_ = PrinterKind::kSimulator;
  std::ostringstream said_;   // messages and errors: the reason
  std::ostringstream noise_;  // status lines and waits: not kept for anybody
  AppState state_;
  ConsoleClock clock_;
  ConsoleHost host_;
  ConsoleMessages messages_;
  NoCursor cursor_;
  NoPage page_;
  std::unique_ptr<PrinterSession> session_;
};

}  // namespace rovant::cli
