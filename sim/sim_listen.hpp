// rovant-printer-sim --listen: the simulated printer on a TCP port, as a
// network printer's print port. One connection at a time is one session; a
// silent session gives way to a connection that waits, and no session lasts
// longer than its limit.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "base/expected.hpp"
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

// "HOST:PORT" (PORT 0 to 65535).
Expected<ListenAddress> ParseListenAddress(std::string_view text);

struct ListenOptions {
  ListenAddress address;
  int maxSessions = 0;               // stop after this many sessions; 0: serve for ever
  unsigned acceptTimeoutMs = 0;      // stop when no connection comes this long; 0: wait for ever
  unsigned idleTimeoutMs = 60000;    // a session that sends nothing this long is ended
  unsigned sessionLimitMs = 300000;  // a session is ended after this long in any case; 0 never
  unsigned yieldAfterMs = 1000;  // a session silent this long ends when another connection waits
};

enum class SessionEnd { kClosed, kIdle, kLifeLimit, kGaveWay, kFailed };

struct SessionReport {
  int refusedSends = 0;      // sends the printer did not take
  std::size_t received = 0;  // bytes received from the host
  std::size_t replied = 0;   // reply bytes sent back
  SessionEnd end = SessionEnd::kClosed;
};

// Accepts a connection on `listener`; kNoSocket with the system's code in `error`.
using Acceptor = std::function<NativeSocket(NativeSocket listener, int& error)>;

class SimListener {
 public:
  // Binds and listens.
  Expected<void> Listen(const ListenAddress& address);
  // The port actually bound (after Listen).
  [[nodiscard]] std::uint16_t port() const { return port_; }
  // Serves sessions one at a time with `printer` until options.maxSessions
  // were served, none came within options.acceptTimeoutMs, or accepting
  // failed for good (failure() says why). A failed accept that may pass (out
  // of descriptors) is reported and tried again after a pause. After each
  // session `afterSession` is called; when it returns false serving stops.
  // Returns the number of sessions served.
  int Serve(SimulatedPrinter& printer, const ListenOptions& options,
            const std::function<bool(const SessionReport&)>& afterSession);
  // Why serving stopped on an error ("" when it did not).
  [[nodiscard]] const std::string& failure() const { return failure_; }
  // Where notes on passing trouble go (a failed accept, a session cut short).
  void ReportTo(std::function<void(const std::string&)> report) { report_ = std::move(report); }
  // Accepts with `acceptor` instead of the system's accept.
  void UseAcceptor(Acceptor acceptor) { acceptor_ = std::move(acceptor); }

 private:
  void Note(const std::string& text) const {
    if (report_) report_(text);
  }

  std::string failure_;
  std::function<void(const std::string&)> report_;
  Acceptor acceptor_;
  net::SocketSession sockets_;  // outlives socket_
  SocketHandle socket_;
  std::uint16_t port_ = 0;
};

// One session on a connected socket: what arrives is split into sends (each
// online sequence on its own) and fed to the printer as it comes; the reply
// is sent back as soon as the printer has one. Ends at the host's close, an
// error, the idle time-out, the session limit, or (silent for yieldAfterMs
// while a connection waits on `listener`) to let the next host in; then
// EndSession.
SessionReport ServeSession(const SocketHandle& connection, SimulatedPrinter& printer,
                           const ListenOptions& options, NativeSocket listener = kNoSocket);

// Loads the memory, listens, prints "listening on HOST:PORT" on `out`, and
// serves; the memory is saved to the state file after every session and what
// LIST printed goes to `paper`. Returns a SimExit.
int RunListenProgram(const SimOptions& options, const ListenOptions& listen, FileSystem& fs,
                     std::ostream& out, std::ostream& paper, std::ostream& err);

}  // namespace rovant::sim
