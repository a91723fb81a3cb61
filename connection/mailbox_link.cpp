#include "connection/mailbox_link.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {

LinkOpening MailboxLink::Open(LinkRoute route) {
  if (!mailbox_.Open()) return {false, {}};
  switch (route) {
    case LinkRoute::kSpoolerSession:
      mailbox_.StartSpoolerSession();
      return {};
    case LinkRoute::kLan:
      break;
  }
  if (lan_ == nullptr) return {false, std::string(msg::kLanInitFailed)};
  const Expected<void> opened = lan_->Open(lanPortName_);
  if (!opened) return {false, opened.error()};
  return {};
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

void MailboxLink::Close() {
  if (OnLan()) {
    lan_->Close();
  } else {
    mailbox_.End();
  }
}

std::string MailboxLink::LastError() const {
  switch (mailbox_.lastFailure()) {
    case MailboxFailure::kNone:
      return {};
    case MailboxFailure::kNotOpen:
      return std::string(msg::kMailboxNotOpened);
    case MailboxFailure::kLockTimedOut:
      return msg::MailboxLockHeld(kMailboxLockSlices * kMailboxLockSliceMs / 1000);
    case MailboxFailure::kMonitorFailed:
      return std::string(msg::kMonitorPortFailed);
    case MailboxFailure::kNoAnswer:
      return msg::MonitorNoAnswer(kMailboxAnswerLimitMs / 1000);
  }
  return {};
}

}  // namespace rovant
