#include "sim/sim_listen.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <ostream>
#include <thread>

#include "connection/socket_system.hpp"
#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "sim/printer_state.hpp"
#include "texts/link_messages.hpp"

namespace rovant::sim {
namespace {

constexpr std::size_t kChunkSize = 4096;
constexpr int kBacklog = 4;
// How often a silent session looks whether another connection waits.
constexpr int kSliceMs = 100;
// The pause after a failed accept that may pass, so that it is not retried at once.
constexpr int kAcceptRetryPauseMs = 200;

int Milliseconds(unsigned ms) { return ms == 0 ? -1 : static_cast<int>(std::min(ms, 86400000U)); }

bool SendAll(NativeSocket socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::ptrdiff_t sent = net::SendSome(socket, bytes.data(), bytes.size());
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && net::ClassifySocketError(net::LastSocketError()) ==
                               net::SocketErrorKind::kInterrupted) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

std::string Explained(const std::string& what) {
  return what + ": " + net::SocketErrorText(net::LastSocketError());
}

// Hands `pending` to the printer as sends: each online sequence on its own,
// the bytes between them as they came. A tail that may be the start of an
// online sequence stays in `pending` (all of it when `final`).
void Feed(SimulatedPrinter& printer, std::string& pending, bool final, SessionReport& report) {
  const std::string_view online = wire::kOnlineSequence;
  const auto accept = [&](std::string_view bytes) {
    if (!bytes.empty() && !printer.Accept(bytes)) ++report.refusedSends;
  };
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = pending.find(online, start);
    if (at == std::string::npos) break;
    accept(std::string_view(pending).substr(start, at - start));
    accept(online);
    start = at + online.size();
  }
  std::string_view rest = std::string_view(pending).substr(start);
  std::size_t keep = 0;
  if (!final) {
    for (std::size_t k = std::min(rest.size(), online.size() - 1); k > 0; --k) {
      if (rest.substr(rest.size() - k) == online.substr(0, k)) {
        keep = k;
        break;
      }
    }
  }
  accept(rest.substr(0, rest.size() - keep));
  pending.erase(0, pending.size() - keep);
}

}  // namespace

Expected<ListenAddress> ParseListenAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) {
    return Fail("HOST:PORT expected (e.g. 127.0.0.1:9100), not \"" + std::string(text) + "\"");
  }
  const std::string_view portText = text.substr(colon + 1);
  unsigned port = 0;
  const auto [end, status] =
      std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (status != std::errc{} || end != portText.data() + portText.size() || port > 65535) {
    return Fail("the port must be a number from 0 to 65535, not \"" + std::string(portText) + "\"");
  }
  ListenAddress address{std::string(text.substr(0, colon)), static_cast<std::uint16_t>(port)};
  const net::SocketSession sockets;  // Winsock's address functions want it started
  in_addr numeric{};
  if (::inet_pton(AF_INET, address.host.c_str(), &numeric) != 1) {
    return Fail("the host must be a numeric IPv4 address (e.g. 127.0.0.1), not \"" + address.host +
                "\"");
  }
  return address;
}

Expected<void> SimListener::Listen(const ListenAddress& address) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(address.port);
  if (::inet_pton(AF_INET, address.host.c_str(), &where.sin_addr) != 1) {
    return Fail("not a numeric IPv4 address: " + address.host);
  }
  if (!sockets_.ok()) {
    return Fail(Explained(std::string(msg::kSocketsUnusable)));
  }
  SocketHandle fd(net::OpenStreamSocket(AF_INET, 0));
  if (!fd.valid()) {
    return Fail(msg::SocketNotCreated(net::SocketErrorText(net::LastSocketError())));
  }
#ifndef _WIN32
  // A port left in TIME_WAIT by the last run can be bound again at once. (On
  // Windows the same option would let another program take the port too.)
  const int yes = 1;
  ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
  // NOLINTNEXTLINE: the sockets API takes the address through its generic type.
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
      ::listen(fd.get(), kBacklog) != 0) {
    return Fail(Explained("cannot listen on " + address.host + ":" + std::to_string(address.port)));
  }
  sockaddr_in bound{};
  socklen_t size = sizeof bound;
  if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
    return Fail(Explained("cannot tell the port bound"));
  }
  port_ = ntohs(bound.sin_port);
  socket_ = std::move(fd);
  return {};
}

int SimListener::Serve(SimulatedPrinter& printer, const ListenOptions& options,
                       const std::function<bool(const SessionReport&)>& afterSession) {
  failure_.clear();
  int served = 0;
  int passingFailures = 0;
  while (socket_.valid() && (options.maxSessions <= 0 || served < options.maxSessions)) {
    if (net::Wait(socket_.get(), net::WaitFor::kReadable, Milliseconds(options.acceptTimeoutMs)) <=
        0)
      break;
    int code = 0;
    NativeSocket accepted = kNoSocket;
    if (acceptor_) {
      accepted = acceptor_(socket_.get(), code);
    } else {
      accepted = net::AcceptConnection(socket_.get());
      if (accepted == kNoSocket) code = net::LastSocketError();
    }
    const SocketHandle connection(accepted);
    if (!connection.valid()) {
      const std::string reason = "accepting a connection failed: " + net::SocketErrorText(code);
      if (!net::IsTransientAcceptError(code)) {
        failure_ = reason;
        break;
      }
      // Said once for a run of the same trouble, then tried again after a pause.
      if (passingFailures++ == 0) Note(reason + "; trying again");
      std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptRetryPauseMs));
      continue;
    }
    passingFailures = 0;
    ++served;
    SessionReport report;
    // A switched-off printer takes nothing: the connection is dropped at once.
    if (!printer.faults().switchedOff) {
      report = ServeSession(connection, printer, options, socket_.get());
      if (report.end == SessionEnd::kGaveWay) {
        Note("a session silent for " + std::to_string(options.yieldAfterMs) +
             " ms was ended: another connection is waiting");
      } else if (report.end == SessionEnd::kLifeLimit) {
        Note("a session was ended after " + std::to_string(options.sessionLimitMs) +
             " ms, the longest a session may last");
      }
    }
    if (afterSession && !afterSession(report)) break;
  }
  return served;
}

SessionReport ServeSession(const SocketHandle& connection, SimulatedPrinter& printer,
                           const ListenOptions& options, NativeSocket listener) {
  SessionReport report;
  const NativeSocket fd = connection.get();
  // A host that stops reading cannot hold the simulator for ever either.
  if (options.idleTimeoutMs != 0) net::SetSendTimeout(fd, options.idleTimeoutMs);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point started = Clock::now();
  Clock::time_point lastByte = started;
  const auto since = [](Clock::time_point from) {
    return static_cast<unsigned long long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count());
  };
  std::string pending;
  std::array<char, kChunkSize> chunk{};
  std::array<char, kReplyLimit> reply{};
  for (;;) {
    if (options.sessionLimitMs != 0 && since(started) >= options.sessionLimitMs) {
      report.end = SessionEnd::kLifeLimit;
      break;
    }
    const unsigned long long silent = since(lastByte);
    if (options.idleTimeoutMs != 0 && silent >= options.idleTimeoutMs) {
      report.end = SessionEnd::kIdle;
      break;
    }
    if (listener != kNoSocket && silent >= options.yieldAfterMs &&
        net::Wait(listener, net::WaitFor::kReadable, 0) > 0) {
      report.end = SessionEnd::kGaveWay;
      break;
    }
    const int ready = net::Wait(fd, net::WaitFor::kReadable, kSliceMs);
    if (ready < 0) {
      report.end = SessionEnd::kFailed;
      break;
    }
    if (ready == 0) continue;
    const std::ptrdiff_t got = net::ReceiveSome(fd, chunk.data(), chunk.size());
    if (got < 0 &&
        net::ClassifySocketError(net::LastSocketError()) == net::SocketErrorKind::kInterrupted)
      continue;
    if (got <= 0) {
      report.end = got == 0 ? SessionEnd::kClosed : SessionEnd::kFailed;
      break;
    }
    lastByte = Clock::now();
    report.received += static_cast<std::size_t>(got);
    pending.append(chunk.data(), static_cast<std::size_t>(got));
    Feed(printer, pending, false, report);
    if (printer.HasReply()) {
      std::size_t length = 0;
      if (printer.Reply(reply, length) && length > 0) {
        if (!SendAll(fd, std::string_view(reply.data(), length))) {
          report.end = SessionEnd::kFailed;
          break;
        }
        report.replied += length;
      }
    }
  }
  Feed(printer, pending, true, report);
  printer.EndSession();
  return report;
}

int RunListenProgram(const SimOptions& options, const ListenOptions& listen, FileSystem& fs,
                     std::ostream& out, std::ostream& paper, std::ostream& err) {
  const Expected<SettingsRecord> loaded = LoadStartingMemory(options, fs);
  if (!loaded) {
    err << "rovant-printer-sim: " << loaded.error() << '\n';
    return kSimFailed;
  }
  const SettingsRecord& memory = *loaded;
  SimListener listener;
  if (const Expected<void> listening = listener.Listen(listen.address); !listening) {
    err << "rovant-printer-sim: " << listening.error() << '\n';
    return kSimFailed;
  }
  out << "listening on " << listen.address.host << ':' << listener.port() << std::endl;

  SimulatedPrinter printer(options.model, memory);
  printer.faults() = options.faults;
  int exit = kSimOk;
  listener.ReportTo(
      [&err](const std::string& note) { err << "rovant-printer-sim: " << note << '\n'; });
  listener.Serve(printer, listen, [&](const SessionReport& report) {
    if (report.refusedSends > 0) {
      err << "rovant-printer-sim: " << report.refusedSends << " send(s) refused\n";
    }
    if (!WriteOutPaper(printer, options, paper, err)) {
      exit = kSimFailed;
      return false;
    }
    if (options.statePath.empty()) return true;
    if (const Expected<void> saved = SavePrinterState(fs, options.statePath, printer.memory());
        !saved) {
      err << "rovant-printer-sim: " << saved.error() << '\n';
      exit = kSimFailed;
      return false;
    }
    return true;
  });
  if (!listener.failure().empty()) {
    err << "rovant-printer-sim: " << listener.failure() << '\n';
    exit = kSimFailed;
  }
  return exit;
}

}  // namespace rovant::sim
