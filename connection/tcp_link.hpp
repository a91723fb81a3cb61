// A printer reached over a raw TCP connection (the printer's print port,
// 9100 by default): each exchange opened by StartSpoolerSession or OpenLan is
// one connection, closed by End. POSIX sockets or Winsock alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "connection/socket_api.hpp"
#include "connection/socket_handle.hpp"
#include "platform/printer_link.hpp"

namespace rovant {

inline constexpr std::uint16_t kTcpDefaultPort = 9100;
// How long a connection may take to be set up.
inline constexpr unsigned kTcpConnectTimeoutMs = 3000;
// How long a receive waits for the first byte of the reply.
inline constexpr unsigned kTcpReceiveTimeoutMs = 5000;
// The reply is complete once the printer has been quiet this long.
inline constexpr unsigned kTcpQuietMs = 200;

struct TcpTimeouts {
  unsigned connectMs = kTcpConnectTimeoutMs;
  unsigned receiveMs = kTcpReceiveTimeoutMs;
  unsigned quietMs = kTcpQuietMs;
};

class TcpLink final : public PrinterLink {
 public:
  explicit TcpLink(std::string host, std::uint16_t port = kTcpDefaultPort,
                   TcpTimeouts timeouts = {});

  // Nothing to open: the reply comes back on the connection itself.
  bool OpenMailbox() override { return true; }
  // Connects; a failure is kept, so the following Send fails.
  void StartSpoolerSession() override;
  // Connects; on failure `failureText` is the printer's "no response" text.
  bool OpenLan(std::string& failureText) override;
  // Writes every byte; false on an error or without a connection.
  bool Send(std::string_view bytes) override;
  // Reads the reply until the printer has been quiet for a moment after its
  // first byte, or 4096 bytes came (the rest is read and dropped); false when
  // nothing came within the receive time-out or the connection is gone.
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  // Closes the connection.
  void End() override { socket_.Reset(); }

  // Why the last connect, send or receive failed, for the user ("" when none did).
  [[nodiscard]] std::string lastError() const { return error_; }
  // The system's code for that failure (time-outs and a connection closed
  // without an answer have theirs too); 0 when none failed.
  [[nodiscard]] int lastErrorCode() const { return errorCode_; }
  [[nodiscard]] bool connected() const { return socket_.valid(); }

 private:
  bool Connect();
  [[nodiscard]] std::string Where() const;
  void Fail(int code, std::string text);

  std::string host_;
  std::uint16_t port_;
  TcpTimeouts timeouts_;
  net::SocketSession sockets_;  // outlives socket_
  SocketHandle socket_;
  std::string error_;
  int errorCode_ = 0;
};

}  // namespace rovant
