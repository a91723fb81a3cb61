// The road to the printer: the reply mailbox with a spooler session for a
// printer on a local port, or the LAN library for a printer on the network.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace rovant {

class PrinterLink {
 public:
  virtual ~PrinterLink() = default;
  // Opens the reply mailbox if it is not open yet; false when it cannot be.
  virtual bool OpenMailbox() = 0;
  // Starts the one-byte spooler job for a printer on a local port.
  virtual void StartSpoolerSession() = 0;
  // Opens the LAN connection; on failure `failureText` says why, for the user.
  virtual bool OpenLan(std::string& failureText) = 0;
  // Sends the bytes in one exchange; true when the printer side accepted them.
  virtual bool Send(std::string_view bytes) = 0;
  // Receives the reply into `reply` (at most its size) and its byte count.
  virtual bool Receive(std::array<char, 4096>& reply, std::size_t& length) = 0;
  // Ends the exchange opened by StartSpoolerSession or OpenLan.
  virtual void End() = 0;
};

}  // namespace rovant
