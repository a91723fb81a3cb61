// The road to the printer for one exchange: opened by a route, then sends
// and receives, then closed.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace rovant {

// How an exchange reaches the printer: a spooler session (a printer on a
// local port: the one-byte spooler job, the reply through the mailbox) or the
// LAN connection (a printer on a network port).
enum class LinkRoute { kSpoolerSession, kLan };

// How opening went. Not open: `message` is what the user is told, or empty
// when the failure passes in silence (the reply mailbox could not be made).
struct LinkOpening {
  bool open = true;
  std::string message;
};

class PrinterLink {
 public:
  virtual ~PrinterLink() = default;
  // Opens an exchange by `route`. On the spooler session route nothing past
  // the reply mailbox fails here: a printer that cannot be reached shows it
  // at the first send, as a spooler job does.
  virtual LinkOpening Open(LinkRoute route) = 0;
  // Sends the bytes in one exchange; true when the printer side accepted them.
  virtual bool Send(std::string_view bytes) = 0;
  // Receives the reply into `reply` (at most its size) and its byte count.
  virtual bool Receive(std::array<char, 4096>& reply, std::size_t& length) = 0;
  // Ends the exchange Open began.
  virtual void Close() = 0;
  // Why the last open, send or receive failed, in the link's own words for a
  // log or a command line ("" when none did, or the link keeps no account).
  [[nodiscard]] virtual std::string LastError() const = 0;
};

}  // namespace rovant
