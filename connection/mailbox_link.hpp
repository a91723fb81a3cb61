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

  bool OpenMailbox() override { return mailbox_.Open(); }
  void StartSpoolerSession() override { mailbox_.StartSpoolerSession(); }
  bool OpenLan(std::string& failureText) override;
  bool Send(std::string_view bytes) override;
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  void End() override;

 private:
  [[nodiscard]] bool OnLan() const { return lan_ != nullptr && lan_->IsOpen(); }

  ReplyMailbox& mailbox_;
  LanConnection* lan_ = nullptr;
  std::string lanPortName_;
};

}  // namespace rovant
