#include "cli/printer_job.hpp"

#include "model/catalogue.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/show_message.hpp"
#include "protocol/write_settings.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::cli {

PrinterJob::PrinterJob(FileSystem& fs, std::string printer, std::string statePath,
                       std::optional<ModelCode> expected)
    : fs_(fs),
      printer_(std::move(printer)),
      statePath_(std::move(statePath)),
      expected_(expected),
      clock_(noise_),
      host_(noise_),
      messages_(said_) {}

PrinterJob::~PrinterJob() = default;

bool PrinterJob::Open() {
  const Expected<PrinterAddress> address = ParsePrinterAddress(printer_);
  if (!address) {
    said_ << "rovantctl: " << address.error() << '\n';
    return false;
  }
  kind_ = address->kind;
  session_ = PrinterSession::Open(*address, statePath_, fs_, clock_, said_);
  if (!session_) return false;
  state_.settings = kFactoryDefaults;
  state_.selectedPrinter.printerName = printer_;
  state_.selectedPrinter.portState =
      kind_ == PrinterKind::kTcp || kind_ == PrinterKind::kLan ? kPortLan : kPortLocal;
  state_.selectedPrinter.modelCode = expected_.value_or(session_->model());
  return true;
}

PrinterOperationContext PrinterJob::Context() {
  return PrinterOperationContext{state_,  session_->link(), clock_, host_,
                                 cursor_, messages_,        page_};
}

void PrinterJob::NoResponse() {
  ShowMessage(messages_, msg::kUserIconOk, msg::kNoResponse, msg::kIconError, 0, kNoWindow);
}

PrinterJob::Read PrinterJob::ReadSettings(bool checkModel) {
  PrinterOperationContext context = Context();
  const ReadResult result =
      ReadPrinterSettings(checkModel ? ReadMode::kStartUp : ReadMode::kRead, kNoWindow, context);
  if (result == ReadResult::kOtherModel) {
    ShowMessage(messages_, msg::kUserIconOk, kOtherPrinterMessage, msg::kIconWarning, 0, kNoWindow);
    return Read::kOtherModel;
  }
  if (result != ReadResult::kDone) {
    NoResponse();
    return Read::kFailed;
  }
  return Read::kDone;
}

bool PrinterJob::Transfer(const SettingsRecord& record) {
  state_.settings = record;
  PrinterOperationContext context = Context();
  WriteResult result = WritePrinterSettings(WriteMode::kTransfer, kNoWindow, context);
  // A printer that reset the connection right after the last send did not take it.
  if (result == WriteResult::kDone && session_->endFailed()) result = WriteResult::kFailed;
  if (result == WriteResult::kFailed) NoResponse();
  return result == WriteResult::kDone;
}

bool PrinterJob::Close() {
  if (!session_) return false;
  const std::string error = session_->linkError();
  if (!error.empty()) said_ << "rovantctl: " << error << '\n';
  return session_->Close(said_);
}

std::string PrinterJob::reason() const {
  std::string text;
  std::istringstream lines(said_.str());
  std::string line;
  while (std::getline(lines, line)) {
    if (line.starts_with("rovantctl: ")) line.erase(0, 11);
    if (line.empty() || text.find(line) != std::string::npos) continue;
    if (!text.empty()) text += "; ";
    text += line;
  }
  return text;
}

}  // namespace rovant::cli
