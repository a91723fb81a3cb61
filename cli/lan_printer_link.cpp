#include "cli/lan_printer_link.hpp"

#include "cli/console_host.hpp"
#include "connection/lan_connection.hpp"
#include "connection/lan_loader_win32.hpp"
#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "platform/window_ref.hpp"

namespace rovant::cli {

std::string LanPortText(const std::string& portName) {
  return portName.substr(0, portName.find(':'));
}

// On a network port only the mailbox's mirror is used (for the received
// count), so the mailbox lives in this process: no language monitor is needed.
struct LanPrinterLink::Parts {
  Parts(const std::string& portName, Clock& clock, std::ostream& out)
      : messages(out),
        lan(loader, clock, messages, kNoWindow),
        platform(shared),
        mailbox(platform, clock),
        link(mailbox, lan, LanPortText(portName)) {}
  Win32LanLoader loader;
  ConsoleMessages messages;
  LanConnection lan;
  MemoryMailbox shared;
  MemoryMailboxPlatform platform;
  ReplyMailbox mailbox;
  MailboxLink link;
};

LanPrinterLink::LanPrinterLink(const std::string& portName, Clock& clock, std::ostream& messages)
    : parts_(std::make_unique<Parts>(portName, clock, messages)) {}

LanPrinterLink::~LanPrinterLink() = default;

LinkOpening LanPrinterLink::Open(LinkRoute route) { return parts_->link.Open(route); }
bool LanPrinterLink::Send(std::string_view bytes) { return parts_->link.Send(bytes); }
bool LanPrinterLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  return parts_->link.Receive(reply, length);
}
void LanPrinterLink::Close() { parts_->link.Close(); }
std::string LanPrinterLink::LastError() const { return parts_->link.LastError(); }

}  // namespace rovant::cli
