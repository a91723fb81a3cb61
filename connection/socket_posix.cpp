// The socket calls on POSIX systems.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "connection/socket_api.hpp"

namespace rovant {

void CloseNativeSocket(NativeSocket socket) {
  if (socket != kNoSocket) ::close(socket);
}

namespace net {

SocketSession::SocketSession() : ok_(true) {}
SocketSession::~SocketSession() = default;

int LastSocketError() { return errno; }

SocketErrorKind ClassifySocketError(int code) {
  if (code == ECONNREFUSED) return SocketErrorKind::kRefused;
  if (code == ETIMEDOUT) return SocketErrorKind::kTimedOut;
  if (code == EAGAIN || code == EWOULDBLOCK) return SocketErrorKind::kWouldBlock;
  if (code == EINPROGRESS) return SocketErrorKind::kInProgress;
  if (code == EINTR) return SocketErrorKind::kInterrupted;
  return SocketErrorKind::kOther;
}

std::string SocketErrorText(int code) { return std::strerror(code); }

std::string AddressErrorText(int code) { return ::gai_strerror(code); }

bool IsTransientAcceptError(int code) {
  return code == EMFILE || code == ENFILE || code == ENOBUFS || code == ENOMEM ||
         code == ECONNABORTED || code == EPROTO || code == EPERM || code == EAGAIN || code == EINTR;
}

int TimedOutCode() { return ETIMEDOUT; }

void KeepThisModuleLoaded() {}  // built into programs only
int ConnectionResetCode() { return ECONNRESET; }

NativeSocket OpenStreamSocket(int family, int protocol) {
  return ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, protocol);
}

NativeSocket AcceptConnection(NativeSocket listener) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const NativeSocket accepted = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (accepted >= 0 || (errno != EINTR && errno != ECONNABORTED)) return accepted;
  }
  return kNoSocket;
}

bool SetNonBlocking(NativeSocket socket, bool nonBlocking) {
  const int flags = ::fcntl(socket, F_GETFL, 0);
  if (flags < 0) return false;
  const int wanted = nonBlocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK;
  return ::fcntl(socket, F_SETFL, wanted) == 0;
}

bool ShutdownSending(NativeSocket socket) { return ::shutdown(socket, SHUT_WR) == 0; }

int PendingConnectError(NativeSocket socket) {
  int failure = 0;
  socklen_t size = sizeof failure;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &failure, &size) != 0) return errno;
  return failure;
}

bool SetSendTimeout(NativeSocket socket, unsigned ms) {
  timeval limit{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
  return ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0;
}

int Wait(NativeSocket socket, WaitFor what, int ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  const short events = what == WaitFor::kReadable ? POLLIN : POLLOUT;
  int left = ms;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, left);
    if (ready >= 0 || errno != EINTR) return ready;
    if (ms >= 0) {
      const auto rest =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      left = static_cast<int>(std::clamp<long long>(rest, 0, ms));
    }
  }
  return -1;
}

std::ptrdiff_t SendSome(NativeSocket socket, const char* bytes, std::size_t count) {
  return ::send(socket, bytes, count, MSG_NOSIGNAL);
}

std::ptrdiff_t ReceiveSome(NativeSocket socket, char* buffer, std::size_t size) {
  return ::recv(socket, buffer, size, 0);
}

}  // namespace net
}  // namespace rovant
