#include "connection/lan_connection.hpp"

#include <cstring>

#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {

Expected<void> LanConnection::Open(std::string_view portText) {
  Close();
  library_ = loader_.Load();
  if (!library_ || !library_->Startup()) {
    library_.reset();
    return Fail(std::string(msg::kLanInitFailed));
  }
  port_ = library_->OpenPort(portText);
  if (port_ == kLanNoPort) {
    library_->Cleanup();
    library_.reset();
    return Fail(std::string(msg::kLanNoResponse));
  }
  return {};
}

bool LanConnection::Transfer(int operation, std::span<const std::uint8_t> bytes,
                             std::array<char, kMailboxDataSize>& reply, MailboxBlock& mirror) {
  if (!library_) return false;
  if (operation == kLanSend) {
    clock_.SleepMs(kLanWaitMs);
    std::size_t written = 0;
    const bool sent = library_->WritePort(port_, bytes, written);
    clock_.SleepMs(kLanWaitMs);
    if (!sent) {
      library_->GetError(port_);
      ShowFailure(msg::kLanSendFailed);
    }
    return sent;
  }
  if (operation == kLanReceive) {
    std::array<std::uint8_t, kMailboxDataSize> buffer{};
    std::size_t received = 0;
    const bool ok = library_->ReadPort(port_, buffer, received);
    clock_.SleepMs(kLanWaitMs);
    received = std::min(received, buffer.size());
    mirror.set_length(static_cast<std::uint32_t>(received));
    std::memcpy(reply.data(), buffer.data(), buffer.size());
    if (!ok) {
      library_->GetError(port_);
      ShowFailure(msg::kLanReceiveFailed);
    }
    return ok;
  }
  return false;
}

void LanConnection::Close() {
  if (!library_) return;
  const bool released = library_->ClosePort(port_) && library_->Cleanup();
  library_.reset();  // unloads
  port_ = kLanNoPort;
  if (!released) ShowFailure(msg::kLanReleaseFailed);
}

void LanConnection::ShowFailure(std::string_view text) {
  ShowMessage(boxes_, msg::kUserIconOk, text, msg::kIconError, 0, mainWindow_);
}

}  // namespace rovant
