// The printer link of a printer on a local port: a one-byte spooler job and
// command and reply text through the reply mailbox.
#pragma once

#include "connection/reply_mailbox.hpp"
#include "platform/printer_link.hpp"

namespace rovant {

class MailboxLink final : public PrinterLink {
 public:
  explicit MailboxLink(ReplyMailbox& mailbox) : mailbox_(mailbox) {}

  bool OpenMailbox() override { return mailbox_.Open(); }
  void StartSpoolerSession() override { mailbox_.StartSpoolerSession(); }
  // This link serves local ports only.
  bool OpenLan(std::string& failureText) override;
  bool Send(std::string_view bytes) override;
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  void End() override { mailbox_.End(); }

 private:
  ReplyMailbox& mailbox_;
};

}  // namespace rovant
