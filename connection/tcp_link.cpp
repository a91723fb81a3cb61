#include "connection/tcp_link.hpp"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "protocol/printer_messages.hpp"

namespace rovant {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct AddrInfoDeleter {
  void operator()(addrinfo* info) const { freeaddrinfo(info); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// "3 s", "0.25 s": a time-out in milliseconds as the user reads it.
std::string Seconds(unsigned ms) {
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += '.' + fraction;
  }
  return text + " s";
}

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

// Waits for `events` on `fd` up to `ms`; >0 ready, 0 time-out, <0 error.
int WaitFor(int fd, short events, int ms) {
  const SteadyClock::time_point deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
  // Interruptions by signals are retried; each retry waits only what is left.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, RemainingMs(deadline));
    if (ready >= 0 || errno != EINTR) return ready;
  }
  return -1;
}

}  // namespace

TcpLink::TcpLink(std::string host, std::uint16_t port, TcpTimeouts timeouts)
    : host_(std::move(host)), port_(port), timeouts_(timeouts) {}

std::string TcpLink::Where() const {
  const bool ipv6 = host_.find(':') != std::string::npos;
  return (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void TcpLink::StartSpoolerSession() { Connect(); }

bool TcpLink::OpenLan(std::string& failureText) {
  failureText.clear();
  if (Connect()) return true;
  failureText = msg::kLanNoResponse;
  return false;
}

bool TcpLink::Connect() {
  socket_.Reset();
  error_.clear();
  addrinfo hints{};
  // ai_family stays 0: IPv4 and IPv6 addresses alike.
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port_);
  const int resolved = ::getaddrinfo(host_.c_str(), service.c_str(), &hints, &found);
  const AddrInfoList list(found);
  if (resolved != 0 || !list) {
    error_ = "the printer address " + host_ + " cannot be resolved: " + gai_strerror(resolved);
    return false;
  }
  for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
    SocketFd fd(::socket(entry->ai_family, entry->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                         entry->ai_protocol));
    if (!fd.valid()) {
      error_ = "cannot create a socket: " + std::string(std::strerror(errno));
      continue;
    }
    int failure = 0;
    if (::connect(fd.get(), entry->ai_addr, entry->ai_addrlen) != 0) {
      failure = errno;
      if (failure == EINPROGRESS) {
        const int ready = WaitFor(fd.get(), POLLOUT, static_cast<int>(timeouts_.connectMs));
        if (ready == 0) {
          error_ = "no answer from " + Where() + " within " + Seconds(timeouts_.connectMs);
          continue;
        }
        socklen_t size = sizeof failure;
        if (ready < 0 || ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &failure, &size) != 0)
          failure = errno;
      }
    }
    if (failure == 0) {
      socket_ = std::move(fd);
      error_.clear();
      return true;
    }
    if (failure == ECONNREFUSED) {
      error_ = "the printer at " + Where() +
               " refused the connection: it is busy with another session or switched off";
    } else if (failure == ETIMEDOUT) {
      error_ = "no answer from " + Where() + " within " + Seconds(timeouts_.connectMs);
    } else {
      error_ = "cannot connect to " + Where() + ": " + std::strerror(failure);
    }
  }
  return false;
}

bool TcpLink::Send(std::string_view bytes) {
  if (!socket_.valid()) {
    if (error_.empty()) error_ = "not connected to " + Where();
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The printer takes no more for now: wait as long as for a reply.
      if (WaitFor(socket_.get(), POLLOUT, static_cast<int>(timeouts_.receiveMs)) > 0) continue;
      error_ = "the printer at " + Where() + " took no data within " + Seconds(timeouts_.receiveMs);
      return false;
    }
    error_ = "sending to " + Where() + " failed: " + std::strerror(errno);
    return false;
  }
  return true;
}

bool TcpLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  reply.fill('\0');
  length = 0;
  if (!socket_.valid()) {
    if (error_.empty()) error_ = "not connected to " + Where();
    return false;
  }
  // The first byte may take the receive time-out; after it the reply ends at
  // a quiet moment, and in any case one receive time-out after the first byte.
  const int first = WaitFor(socket_.get(), POLLIN, static_cast<int>(timeouts_.receiveMs));
  if (first == 0) {
    error_ = "no answer from " + Where() + " within " + Seconds(timeouts_.receiveMs);
    return false;
  }
  if (first < 0) {
    error_ = "receiving from " + Where() + " failed: " + std::strerror(errno);
    return false;
  }
  const SteadyClock::time_point deadline =
      SteadyClock::now() + std::chrono::milliseconds(timeouts_.receiveMs);
  std::array<char, 1024> excess{};  // what comes after a full buffer is read and dropped
  bool closed = false;
  for (;;) {
    const bool full = length == reply.size();
    char* into = full ? excess.data() : reply.data() + length;
    const std::size_t room = full ? excess.size() : reply.size() - length;
    const ssize_t got = ::recv(socket_.get(), into, room, 0);
    if (got > 0) {
      if (!full) length += static_cast<std::size_t>(got);
    } else if (got == 0) {
      closed = true;
      break;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
      error_ = "receiving from " + Where() + " failed: " + std::strerror(errno);
      return false;
    }
    const int wait = std::min(static_cast<int>(timeouts_.quietMs), RemainingMs(deadline));
    if (wait <= 0 || WaitFor(socket_.get(), POLLIN, wait) <= 0) break;
  }
  if (length == 0 && closed) {
    error_ = "the printer at " + Where() + " closed the connection without an answer";
    return false;
  }
  return true;
}

}  // namespace rovant
