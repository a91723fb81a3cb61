// The printer link of the setup program: for a printer on a local port a
// one-byte spooler job and command and reply text through the reply mailbox;
// for a printer on a network port the LAN connection library, which borrows
// the mailbox's mirror for the received count.
#pragma once

#include "connection/lan_connection.hpp"
#include "connection/reply_mailbox.hpp"
#include "platform/printer_link.hpp"

namespace rovant {

class MailboxLink final : public PrinterLink {
 public:
  explicit MailboxLink(ReplyMailbox& mailbox) : mailbox_(mailbox) {}
  // With a LAN connection for printers on a network port named `lanPortName`.
  MailboxLink(ReplyMailbox& mailbox, LanConnection& lan, std::string lanPortName)
      : mailbox_(mailbox), lan_(&lan), lanPortName_(std::move(lanPortName)) {}

  // The reply mailbox first, whatever the route (a mailbox that cannot be
  // made fails in silence); then the spooler job, or the LAN connection,
  // whose failure carries the library's reason.
  LinkOpening Open(LinkRoute route) override;
  bool Send(std::string_view bytes) override;
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  // Ends the spooler job's exchange, or closes the LAN connection.
  void Close() override;
  // The reply mailbox's last failure; the LAN library shows its own.
  [[nodiscard]] std::string LastError() const override;

 private:
  [[nodiscard]] bool OnLan() const { return lan_ != nullptr && lan_->IsOpen(); }

  ReplyMailbox& mailbox_;
  LanConnection* lan_ = nullptr;
  std::string lanPortName_;
};

}  // namespace rovant
