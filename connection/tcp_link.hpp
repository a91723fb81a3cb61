// A printer reached over a raw TCP connection (the printer's print port,
// 9100 by default): each exchange Open begins is one connection, ended by
// Close. POSIX sockets or Winsock alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "connection/socket_api.hpp"
#include "connection/socket_handle.hpp"
#include "platform/printer_link.hpp"

struct addrinfo;  // the system's, from <netdb.h> or <ws2tcpip.h>

namespace rovant {

inline constexpr std::uint16_t kTcpDefaultPort = 9100;
// How long a connection may take to be set up.
inline constexpr unsigned kTcpConnectTimeoutMs = 3000;
// How long a receive waits for the first byte of the reply.
inline constexpr unsigned kTcpReceiveTimeoutMs = 5000;
// The reply is complete once the printer has been quiet this long.
inline constexpr unsigned kTcpQuietMs = 200;
// After the last send the sending side is shut; this long a reset of the
// connection by the printer is still waited for.
inline constexpr unsigned kTcpCloseWaitMs = 1000;
// How long looking up the printer's name may take.
inline constexpr unsigned kTcpResolveTimeoutMs = 5000;

struct TcpTimeouts {
  unsigned connectMs = kTcpConnectTimeoutMs;
  unsigned receiveMs = kTcpReceiveTimeoutMs;
  unsigned quietMs = kTcpQuietMs;
  unsigned closeMs = kTcpCloseWaitMs;
  unsigned resolveMs = kTcpResolveTimeoutMs;
};

// Looks a host up as getaddrinfo does (the hints ask for stream sockets and a
// numeric service); the list it gives is freed with freeaddrinfo.
using AddressResolver = std::function<int(const std::string& host, const std::string& service,
                                          const addrinfo& hints, addrinfo** found)>;

class TcpLink final : public PrinterLink {
 public:
  // An empty `resolver` is the system's getaddrinfo. The look-up runs on a
  // thread of its own, so that a name service that does not answer costs no
  // more than timeouts.resolveMs.
  explicit TcpLink(std::string host, std::uint16_t port = kTcpDefaultPort,
                   TcpTimeouts timeouts = {}, AddressResolver resolver = {});

  // Connects (the reply comes back on the connection itself: there is no
  // mailbox). A failure on the LAN route carries the printer's "no response"
  // text; on the spooler session route it is kept, so the following Send fails.
  LinkOpening Open(LinkRoute route) override;
  // Writes every byte; false on an error or without a connection.
  bool Send(std::string_view bytes) override;
  // Reads the reply until the printer has been quiet for a moment after its
  // first byte, or 4096 bytes came (the rest is read and dropped); false when
  // nothing came within the receive time-out or the connection is gone.
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  // Closes the connection. When the last thing done was a send, the sending
  // side is shut first and the printer's answer waited for a short time: a
  // reset then is a failure (endFailed), a close or silence is not.
  void Close() override;
  // Whether the last End found the connection reset by the printer.
  [[nodiscard]] bool endFailed() const { return endFailed_; }

  // Why the last connect, send or receive failed, for the user ("" when none did).
  [[nodiscard]] std::string LastError() const override { return error_; }
  // The system's code for that failure (time-outs and a connection closed
  // without an answer have theirs too); 0 when none failed.
  [[nodiscard]] int lastErrorCode() const { return errorCode_; }
  [[nodiscard]] bool connected() const { return socket_.valid(); }

 private:
  bool Connect();
  void FinishSending();
  [[nodiscard]] std::string Where() const;
  void Fail(int code, std::string text);

  std::string host_;
  std::uint16_t port_;
  TcpTimeouts timeouts_;
  net::SocketSession sockets_;  // outlives socket_
  SocketHandle socket_;
  AddressResolver resolver_;
  std::string error_;
  int errorCode_ = 0;
  bool lastWasSend_ = false;
  bool endFailed_ = false;
};

}  // namespace rovant
