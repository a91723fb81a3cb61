#include "cli/spooler_link.hpp"

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "connection/mailbox_link.hpp"
#include "connection/reply_mailbox.hpp"
#include "connection/win32_mailbox_platform.hpp"
#include "platform/steady_clock.hpp"
#include "platform/win32/printer.hpp"
#include "platform/windows_platform_class.hpp"

namespace rovant::cli {
namespace {

// The mailbox and its surroundings, kept together for as long as the link lives.
class MailboxSpoolerLink final : public SpoolerLink {
 public:
  MailboxSpoolerLink(const std::string& printerName, const PlatformClass& platform)
      : platform_(MailboxNamesFor(platform.localNamespace)),
        mailbox_(platform_, clock_),
        link_(mailbox_) {
    platform_.SetPrinter(printerName, {}, platform.ntFamily);
  }
  bool OpenMailbox() override { return link_.OpenMailbox(); }
  void StartSpoolerSession() override { link_.StartSpoolerSession(); }
  bool OpenLan(std::string& failureText) override { return link_.OpenLan(failureText); }
  bool Send(std::string_view bytes) override { return link_.Send(bytes); }
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override {
    return link_.Receive(reply, length);
  }
  void End() override { link_.End(); }
  [[nodiscard]] std::string lastError() const override {
    switch (mailbox_.lastFailure()) {
      case MailboxFailure::kNone:
        return {};
      case MailboxFailure::kNotOpen:
        return "the reply mailbox (the named file mapping shared with the printer driver's "
               "language monitor) cannot be opened";
      case MailboxFailure::kLockTimedOut:
        return "the reply mailbox's mutex stayed held for " +
               std::to_string(kMailboxLockSlices * kMailboxLockSliceMs / 1000) +
               " s: the language monitor may hang";
      case MailboxFailure::kMonitorFailed:
        return "the printer driver's language monitor reported that the printer port failed";
      case MailboxFailure::kNoAnswer:
        return "the printer driver's language monitor did not answer within " +
               std::to_string(kMailboxAnswerLimitMs / 1000) +
               " s: is the printer's own driver installed, with its language monitor?";
    }
    return {};
  }

 private:
  SteadyClock clock_;  // the mailbox's polling waits: silent, unlike the protocol's
  Win32MailboxPlatform platform_;
  ReplyMailbox mailbox_;
  MailboxLink link_;
};

}  // namespace

std::optional<SpoolerPrinterInfo> LookUpSpoolerPrinter(const std::string& printerName) {
  std::string name = printerName;
  win32::PrinterHandle printer;
  if (::OpenPrinterA(name.data(), printer.Receive(), nullptr) == 0) return std::nullopt;
  std::vector<PRINTER_INFO_2A> buffer;
  if (win32::ReadPrinterInfo2(printer.get(), buffer) != win32::PrinterInfoRead::kDone) {
    return std::nullopt;
  }
  const PRINTER_INFO_2A* info = buffer.data();
  SpoolerPrinterInfo found;
  if (info->pDriverName != nullptr) found.driverName = info->pDriverName;
  if (info->pPortName != nullptr) found.portName = info->pPortName;
  return found;
}

std::unique_ptr<SpoolerLink> MakeSpoolerLink(const std::string& printerName) {
  return std::make_unique<MailboxSpoolerLink>(printerName, QueryPlatformClass());
}

}  // namespace rovant::cli
