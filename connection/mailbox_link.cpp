#include "connection/mailbox_link.hpp"

#include <algorithm>
#include <cstring>

#include "texts/printer_messages.hpp"

namespace rovant {

bool MailboxLink::OpenLan(std::string& failureText) {
  if (lan_ == nullptr) {
    failureText = std::string(msg::kLanInitFailed);
    return false;
  }
  return lan_->Open(lanPortName_, failureText);
}

bool MailboxLink::Send(std::string_view bytes) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size());
  if (OnLan()) {
    std::array<char, kMailboxDataSize> unused{};
    return lan_->Transfer(kLanSend, data, unused, mailbox_.mirror());
  }
  return mailbox_.Exchange(kMailboxSend, data) != 0;
}

bool MailboxLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  length = 0;
  if (OnLan()) {
    const bool ok = lan_->Transfer(kLanReceive, {}, reply, mailbox_.mirror());
    length = std::min<std::size_t>(mailbox_.mirror().length(), kMailboxDataSize);
    return ok;
  }
  if (mailbox_.Exchange(kMailboxReceive, {}) == 0) return false;
  // The monitor's count is trusted only as far as the data field reaches.
  length = std::min<std::size_t>(mailbox_.mirror().length(), kMailboxDataSize);
  std::memcpy(reply.data(), mailbox_.mirror().data().data(), length);
  return true;
}

void MailboxLink::End() {
  if (OnLan()) {
    lan_->Close();
  } else {
    mailbox_.End();
  }
}

}  // namespace rovant
