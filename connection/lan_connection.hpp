// A printer on a network port, through the LAN connection library: open,
// transfer (send or receive, each framed by the library's one-second waits),
// close.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "base/expected.hpp"
#include "connection/lan_library.hpp"
#include "connection/mailbox_block.hpp"
#include "platform/clock.hpp"
#include "platform/message_boxes.hpp"
#include "platform/window_ref.hpp"

namespace rovant {

inline constexpr unsigned kLanWaitMs = 1000;
enum LanOperation : int { kLanReceive = 1, kLanSend = 2 };

class LanConnection {
 public:
  LanConnection(LanLoader& loader, Clock& clock, MessageBoxes& boxes, WindowRef mainWindow)
      : loader_(loader), clock_(clock), boxes_(boxes), mainWindow_(mainWindow) {}

  // Loads the library and opens the port named by `portText` (the port name
  // up to its first colon); on failure, why, for the user.
  Expected<void> Open(std::string_view portText);
  // Send: the bytes. Receive: up to 4096 bytes into `reply`, the count also
  // stored in the mailbox mirror's length field. Failures are shown here.
  bool Transfer(int operation, std::span<const std::uint8_t> bytes,
                std::array<char, kMailboxDataSize>& reply, MailboxBlock& mirror);
  // Closes the port and unloads the library; a failure is shown here.
  void Close();
  [[nodiscard]] bool IsOpen() const { return library_ != nullptr; }

 private:
  void ShowFailure(std::string_view text);

  LanLoader& loader_;
  Clock& clock_;
  MessageBoxes& boxes_;
  WindowRef mainWindow_;
  std::unique_ptr<LanLibrary> library_;
  LanPort port_ = kLanNoPort;
};

}  // namespace rovant
