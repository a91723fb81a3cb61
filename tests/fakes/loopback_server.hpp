// What the link tests play the printer with, on POSIX sockets and Winsock alike: a loopback
// server, the simulator listening in this process. Every wait is bounded.
#pragma once

// clang-format off
#include "connection/socket_system.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "connection/socket_api.hpp"
#include "model/catalogue.hpp"
#include "sim/sim_listen.hpp"
#include "sim/sim_program.hpp"

namespace rovant::testing {

inline constexpr int kTestWaitMs = 5000;  // the longest any test side waits for the other

inline sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  where.sin_port = htons(port);
  return where;
}

// A listening loopback socket on a free port.
inline SocketHandle ListenOnLoopback(std::uint16_t& port) {
  static const net::SocketSession sockets;  // for the test's own sockets
  SocketHandle fd(net::OpenStreamSocket(AF_INET, 0));
  sockaddr_in where = LoopbackAddress(0);
  socklen_t size = sizeof where;
  EXPECT_EQ(::bind(fd.get(), reinterpret_cast<sockaddr*>(&where), size), 0);
  EXPECT_EQ(::listen(fd.get(), 1), 0);
  EXPECT_EQ(::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&where), &size), 0);
  port = ntohs(where.sin_port);
  return fd;
}

// A loopback port nobody listens on: bound and closed again at once.
inline std::uint16_t ClosedPort() {
  std::uint16_t port = 0;
  ListenOnLoopback(port);
  return port;
}

// A client socket of the test's own, connected to `port`.
inline SocketHandle ConnectedTo(std::uint16_t port) {
  SocketHandle socket(net::OpenStreamSocket(AF_INET, 0));
  const sockaddr_in where = LoopbackAddress(port);
  EXPECT_EQ(::connect(socket.get(), reinterpret_cast<const sockaddr*>(&where), sizeof where), 0);
  return socket;
}

// Reads until `count` bytes came, the peer closed, or nothing came for a while.
inline std::string ReadBytes(NativeSocket fd, std::size_t count) {
  std::string got;
  std::array<char, 512> chunk{};
  while (got.size() < count && net::Wait(fd, net::WaitFor::kReadable, kTestWaitMs) > 0) {
    const std::ptrdiff_t n =
        net::ReceiveSome(fd, chunk.data(), std::min(chunk.size(), count - got.size()));
    if (n <= 0) break;
    got.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return got;
}

inline void SendBytes(NativeSocket fd, std::string_view bytes) {
  EXPECT_EQ(net::SendSome(fd, bytes.data(), bytes.size()),
            static_cast<std::ptrdiff_t>(bytes.size()));
}

// One connection served by `body` on its own thread.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<void(NativeSocket)> body)
      : listener_(ListenOnLoopback(port_)), thread_([this, work = std::move(body)] {
          if (net::Wait(listener_.get(), net::WaitFor::kReadable, kTestWaitMs) <= 0) return;
          const SocketHandle connection(net::AcceptConnection(listener_.get()));
          if (connection.valid()) work(connection.get());
        }) {}
  void Join() { thread_.join(); }
  [[nodiscard]] std::uint16_t port() const { return port_; }

 private:
  std::uint16_t port_ = 0;
  SocketHandle listener_;
  std::jthread thread_;
};

// The simulator (factory settings) listening on a loopback port, serving `sessions` sessions on a
// thread; `tune` may change the listener and its options before it serves.
class ListeningPrinter {
 public:
  using Tune = std::function<void(sim::SimListener&, sim::ListenOptions&)>;
  explicit ListeningPrinter(int sessions, const Tune& tune = {}) {
    const Expected<void> listening = listener_.Listen({"127.0.0.1", 0});
    EXPECT_TRUE(listening) << listening.error();
    sim::ListenOptions options;
    options.maxSessions = sessions;
    options.acceptTimeoutMs = kTestWaitMs;
    options.idleTimeoutMs = kTestWaitMs;
    if (tune) tune(listener_, options);
    thread_.emplace([this, options] {
      listener_.Serve(printer_, options, [this](const sim::SessionReport& report) {
        reports_.push_back(report);
        return true;
      });
    });
  }
  void Join() { thread_->join(); }
  [[nodiscard]] std::uint16_t port() const { return listener_.port(); }
  // Only after Join.
  const sim::SimListener& listener() { return listener_; }
  const std::vector<sim::SessionReport>& reports() { return reports_; }

 private:
  sim::SimulatedPrinter printer_{ModelCode::kHx320, kFactoryDefaults};
  sim::SimListener listener_;
  std::vector<sim::SessionReport> reports_;
  std::optional<std::jthread> thread_;  // the first to go: joined before the rest
};

// `size` letters A to Z over and over.
inline std::string PatternText(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += static_cast<char>('A' + i % 26);
  return text;
}

}  // namespace rovant::testing
