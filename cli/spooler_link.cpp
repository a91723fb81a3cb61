#include "cli/spooler_link.hpp"

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "connection/mailbox_link.hpp"
#include "connection/mailbox_platform_win32.hpp"
#include "connection/reply_mailbox.hpp"
#include "platform/platform_class_win32.hpp"
#include "platform/steady_clock.hpp"
#include "platform/win32/printer.hpp"

namespace rovant::cli {
namespace {

// The mailbox and its surroundings, kept together for as long as the link lives.
class MailboxSpoolerLink final : public PrinterLink {
 public:
  MailboxSpoolerLink(const std::string& printerName, const PlatformClass& platform)
      : platform_(MailboxNamesFor(platform.localNamespace)),
        mailbox_(platform_, clock_),
        link_(mailbox_) {
    platform_.SetPrinter(printerName, {}, platform.ntFamily);
  }
  LinkOpening Open(LinkRoute route) override { return link_.Open(route); }
  bool Send(std::string_view bytes) override { return link_.Send(bytes); }
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override {
    return link_.Receive(reply, length);
  }
  void Close() override { link_.Close(); }
  [[nodiscard]] std::string LastError() const override { return link_.LastError(); }

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

std::unique_ptr<PrinterLink> MakeSpoolerLink(const std::string& printerName) {
  return std::make_unique<MailboxSpoolerLink>(printerName, QueryPlatformClass());
}

}  // namespace rovant::cli
