#include "connection/tcp_link.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "connection/deadline.hpp"
#include "connection/socket_system.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using net::SocketErrorKind;

struct AddrInfoDeleter {
  void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

int Ms(unsigned ms) { return static_cast<int>(std::min(ms, 24U * 3600U * 1000U)); }

// A look-up shared by the waiting link and the thread that does it: whoever
// finishes last frees it, so a look-up given up on ends on its own.
struct Lookup {
  net::SocketSession sockets;  // Winsock stays started while the look-up runs
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  int result = 0;
  AddrInfoList list;
};

// Resolves on a thread of its own, waiting at most `ms`; false on a time-out.
// A look-up that answers in time has ended its thread on return: this code may
// be in a library that its caller unloads next. One given up on runs on alone,
// so the module that holds its code stays loaded.
bool ResolveWithin(const AddressResolver& resolver, const std::string& host,
                   const std::string& service, unsigned ms, int& result, AddrInfoList& list) {
  auto lookup = std::make_shared<Lookup>();
  std::thread thread([lookup, resolver, host, service] {
    addrinfo hints{};
    // ai_family stays 0: IPv4 and IPv6 addresses alike.
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int resolved = resolver(host, service, hints, &found);
    const std::lock_guard<std::mutex> hold(lookup->mutex);
    lookup->result = resolved;
    lookup->list.reset(found);
    lookup->done = true;
    lookup->finished.notify_all();
  });
  std::unique_lock<std::mutex> hold(lookup->mutex);
  if (!lookup->finished.wait_for(hold, std::chrono::milliseconds(ms),
                                 [&lookup] { return lookup->done; })) {
    net::KeepThisModuleLoaded();
    thread.detach();
    return false;
  }
  result = lookup->result;
  list = std::move(lookup->list);
  hold.unlock();
  thread.join();
  return true;
}

}  // namespace

TcpLink::TcpLink(std::string host, std::uint16_t port, TcpTimeouts timeouts,
                 AddressResolver resolver)
    : host_(std::move(host)), port_(port), timeouts_(timeouts), resolver_(std::move(resolver)) {
  if (!resolver_) {
    resolver_ = [](const std::string& name, const std::string& service, const addrinfo& hints,
                   addrinfo** found) {
      return ::getaddrinfo(name.c_str(), service.c_str(), &hints, found);
    };
  }
}

std::string TcpLink::Where() const {
  const bool ipv6 = host_.find(':') != std::string::npos;
  return (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void TcpLink::Fail(int code, std::string text) {
  errorCode_ = code;
  error_ = std::move(text);
}

LinkOpening TcpLink::Open(LinkRoute route) {
  if (Connect() || route == LinkRoute::kSpoolerSession) return {};
  return {false, std::string(msg::kLanNoResponse)};
}

void TcpLink::Close() {
  endFailed_ = false;
  if (socket_.valid() && lastWasSend_) FinishSending();
  lastWasSend_ = false;
  socket_.Reset();
}

void TcpLink::FinishSending() {
  const NativeSocket fd = socket_.get();
  const auto failed = [this](int code) {
    endFailed_ = true;
    Fail(code, msg::ResetAfterLastSend(Where(), net::SocketErrorText(code)));
  };
  if (!net::ShutdownSending(fd)) {
    failed(net::LastSocketError());
    return;
  }
  // What the printer still sends is read and dropped; its close ends the wait.
  const SteadyClock::time_point deadline =
      SteadyClock::now() + std::chrono::milliseconds(timeouts_.closeMs);
  std::array<char, 512> scratch{};
  for (int left = Ms(timeouts_.closeMs); left > 0; left = RemainingMs(deadline)) {
    const int ready = net::Wait(fd, net::WaitFor::kReadable, left);
    if (ready == 0) return;  // still open: the printer keeps the connection
    if (ready < 0) {
      failed(net::LastSocketError());
      return;
    }
    const std::ptrdiff_t got = net::ReceiveSome(fd, scratch.data(), scratch.size());
    if (got == 0) return;  // closed normally
    if (got < 0) {
      const int code = net::LastSocketError();
      const SocketErrorKind kind = net::ClassifySocketError(code);
      if (kind == SocketErrorKind::kInterrupted || kind == SocketErrorKind::kWouldBlock) continue;
      failed(code);
      return;
    }
  }
}

bool TcpLink::Connect() {
  socket_.Reset();
  lastWasSend_ = false;
  endFailed_ = false;
  Fail(0, {});
  if (!sockets_.ok()) {
    Fail(net::LastSocketError(), std::string(msg::kSocketsUnusable));
    return false;
  }
  const std::string service = std::to_string(port_);
  int resolved = 0;
  AddrInfoList list;
  if (!ResolveWithin(resolver_, host_, service, timeouts_.resolveMs, resolved, list)) {
    Fail(net::TimedOutCode(),
         msg::AddressNotResolvedWithin(host_, SecondsText(timeouts_.resolveMs)));
    return false;
  }
  if (resolved != 0 || !list) {
    Fail(resolved, msg::AddressNotResolved(host_, net::AddressErrorText(resolved)));
    return false;
  }
  for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
    SocketHandle socket(net::OpenStreamSocket(entry->ai_family, entry->ai_protocol));
    if (!socket.valid() || !net::SetNonBlocking(socket.get(), true)) {
      const int code = net::LastSocketError();
      Fail(code, msg::SocketNotCreated(net::SocketErrorText(code)));
      continue;
    }
    int failure = 0;
    if (::connect(socket.get(), entry->ai_addr, static_cast<socklen_t>(entry->ai_addrlen)) != 0) {
      failure = net::LastSocketError();
      const SocketErrorKind kind = net::ClassifySocketError(failure);
      if (kind == SocketErrorKind::kInProgress || kind == SocketErrorKind::kWouldBlock) {
        const int ready = net::Wait(socket.get(), net::WaitFor::kWritable, Ms(timeouts_.connectMs));
        if (ready == 0) {
          Fail(net::TimedOutCode(), msg::NoAnswerWithin(Where(), SecondsText(timeouts_.connectMs)));
          continue;
        }
        failure = ready < 0 ? net::LastSocketError() : net::PendingConnectError(socket.get());
      }
    }
    if (failure == 0) {
      socket_ = std::move(socket);
      Fail(0, {});
      return true;
    }
    switch (net::ClassifySocketError(failure)) {
      case SocketErrorKind::kRefused:
        Fail(failure, msg::ConnectionRefused(Where()));
        break;
      case SocketErrorKind::kTimedOut:
        Fail(failure, msg::NoAnswerWithin(Where(), SecondsText(timeouts_.connectMs)));
        break;
      default:
        Fail(failure, msg::CannotConnect(Where(), net::SocketErrorText(failure)));
        break;
    }
  }
  return false;
}

bool TcpLink::Send(std::string_view bytes) {
  if (!socket_.valid()) {
    if (error_.empty()) Fail(net::ConnectionResetCode(), msg::NotConnected(Where()));
    return false;
  }
  lastWasSend_ = true;
  while (!bytes.empty()) {
    const std::ptrdiff_t sent = net::SendSome(socket_.get(), bytes.data(), bytes.size());
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    const int code = sent < 0 ? net::LastSocketError() : 0;
    const SocketErrorKind kind = net::ClassifySocketError(code);
    if (sent < 0 && kind == SocketErrorKind::kInterrupted) continue;
    if (sent < 0 && kind == SocketErrorKind::kWouldBlock) {
      // The printer takes no more for now: wait as long as for a reply.
      if (net::Wait(socket_.get(), net::WaitFor::kWritable, Ms(timeouts_.receiveMs)) > 0) continue;
      Fail(net::TimedOutCode(), msg::TookNoDataWithin(Where(), SecondsText(timeouts_.receiveMs)));
      return false;
    }
    Fail(code, msg::SendingFailed(Where(), net::SocketErrorText(code)));
    return false;
  }
  return true;
}

bool TcpLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  reply.fill('\0');
  length = 0;
  lastWasSend_ = false;
  if (!socket_.valid()) {
    if (error_.empty()) Fail(net::ConnectionResetCode(), msg::NotConnected(Where()));
    return false;
  }
  // The first byte may take the receive time-out; after it the reply ends at
  // a quiet moment, and in any case one receive time-out after the first byte.
  const int first = net::Wait(socket_.get(), net::WaitFor::kReadable, Ms(timeouts_.receiveMs));
  if (first == 0) {
    Fail(net::TimedOutCode(), msg::NoAnswerWithin(Where(), SecondsText(timeouts_.receiveMs)));
    return false;
  }
  if (first < 0) {
    const int code = net::LastSocketError();
    Fail(code, msg::ReceivingFailed(Where(), net::SocketErrorText(code)));
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
    const std::ptrdiff_t got = net::ReceiveSome(socket_.get(), into, room);
    if (got > 0) {
      if (!full) length += static_cast<std::size_t>(got);
    } else if (got == 0) {
      closed = true;
      break;
    } else {
      const int code = net::LastSocketError();
      const SocketErrorKind kind = net::ClassifySocketError(code);
      if (kind != SocketErrorKind::kInterrupted && kind != SocketErrorKind::kWouldBlock) {
        Fail(code, msg::ReceivingFailed(Where(), net::SocketErrorText(code)));
        return false;
      }
    }
    const int wait = std::min(static_cast<int>(timeouts_.quietMs), RemainingMs(deadline));
    if (wait <= 0 || net::Wait(socket_.get(), net::WaitFor::kReadable, wait) <= 0) break;
  }
  if (length == 0 && closed) {
    Fail(net::ConnectionResetCode(), msg::ClosedWithoutAnswer(Where()));
    return false;
  }
  return true;
}

}  // namespace rovant
