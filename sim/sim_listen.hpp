// rovant-printer-sim --listen: the simulated printer on a TCP port, as a
// network printer's print port. One connection at a time is one session.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "connection/socket_api.hpp"
#include "connection/socket_handle.hpp"
#include "platform/file_system.hpp"
#include "sim/sim_program.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

struct ListenAddress {
  std::string host;        // a numeric address, e.g. 127.0.0.1
  std::uint16_t port = 0;  // 0: any free port
};

// "HOST:PORT" (PORT 0 to 65535); on failure says why in `error`.
std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error);

struct ListenOptions {
  ListenAddress address;
  int maxSessions = 0;             // stop after this many sessions; 0: serve for ever
  unsigned acceptTimeoutMs = 0;    // stop when no connection comes this long; 0: wait for ever
  unsigned idleTimeoutMs = 60000;  // a session that sends nothing this long is ended
};

struct SessionReport {
  int refusedSends = 0;      // sends the printer did not take
  std::size_t received = 0;  // bytes received from the host
  std::size_t replied = 0;   // reply bytes sent back
};

class SimListener {
 public:
  // Binds and listens; false with `error` set when it cannot.
  bool Listen(const ListenAddress& address, std::string& error);
  // The port actually bound (after Listen).
  [[nodiscard]] std::uint16_t port() const { return port_; }
  // Serves sessions one at a time with `printer` until options.maxSessions
  // were served, or none came within options.acceptTimeoutMs. After each
  // session `afterSession` is called; when it returns false serving stops.
  // Returns the number of sessions served.
  int Serve(SimulatedPrinter& printer, const ListenOptions& options,
            const std::function<bool(const SessionReport&)>& afterSession);

 private:
  net::SocketSession sockets_;  // outlives socket_
  SocketHandle socket_;
  std::uint16_t port_ = 0;
};

// One session on a connected socket: what arrives is split into sends (each
// online sequence on its own) and fed to the printer as it comes; the reply
// is sent back as soon as the printer has one. Ends at the host's close (or
// an error, or options' idle time-out) with EndSession.
SessionReport ServeSession(const SocketHandle& connection, SimulatedPrinter& printer,
                           unsigned idleTimeoutMs);

// Loads the memory, listens, prints "listening on HOST:PORT" on `out`, and
// serves; the memory is saved to the state file after every session and what
// LIST printed goes to `paper`. Returns a SimExit.
int RunListenProgram(const SimOptions& options, const ListenOptions& listen, FileSystem& fs,
                     std::ostream& out, std::ostream& paper, std::ostream& err);

}  // namespace rovant::sim
