// The socket calls on Windows (Winsock 2, ws2_32).
#include <algorithm>
#include <array>
#include <climits>

#include "connection/socket_api.hpp"
#include "connection/socket_system.hpp"

namespace rovant {

void CloseNativeSocket(NativeSocket socket) {
  if (socket != kNoSocket) ::closesocket(socket);
}

namespace net {
namespace {

// Keeps `socket` out of the programs this process starts.
void StopInheritance(NativeSocket socket) {
  // NOLINTNEXTLINE: a SOCKET is a kernel handle.
  ::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
}

}  // namespace

SocketSession::SocketSession() {
  WSADATA data{};
  ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

SocketSession::~SocketSession() {
  if (ok_) ::WSACleanup();
}

int LastSocketError() { return ::WSAGetLastError(); }

SocketErrorKind ClassifySocketError(int code) {
  switch (code) {
    case WSAECONNREFUSED:
      return SocketErrorKind::kRefused;
    case WSAETIMEDOUT:
      return SocketErrorKind::kTimedOut;
    case WSAEWOULDBLOCK:
      return SocketErrorKind::kWouldBlock;
    case WSAEINPROGRESS:
      return SocketErrorKind::kInProgress;
    case WSAEINTR:
      return SocketErrorKind::kInterrupted;
    default:
      return SocketErrorKind::kOther;
  }
}

std::string SocketErrorText(int code) {
  std::array<char, 512> text{};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, text.data(),
                                        static_cast<DWORD>(text.size()), nullptr);
  std::string result(text.data(), std::min<std::size_t>(length, text.size()));
  // The system's texts end in ".\r\n".
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n' ||
                             result.back() == '.' || result.back() == ' '))
    result.pop_back();
  if (result.empty()) result = "error " + std::to_string(code);
  return result;
}

std::string AddressErrorText(int code) { return SocketErrorText(code); }

int TimedOutCode() { return WSAETIMEDOUT; }

void KeepThisModuleLoaded() {
  static const char kHere = 0;  // any address inside this module names it
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&kHere), &self);
}
int ConnectionResetCode() { return WSAECONNRESET; }

NativeSocket OpenStreamSocket(int family, int protocol) {
  SOCKET socket = ::WSASocketW(family, SOCK_STREAM, protocol, nullptr, 0,
                               WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (socket == INVALID_SOCKET && ::WSAGetLastError() == WSAEINVAL) {
    // Systems before Windows 7 SP1 know no WSA_FLAG_NO_HANDLE_INHERIT.
    socket = ::socket(family, SOCK_STREAM, protocol);
    if (socket != INVALID_SOCKET) StopInheritance(socket);
  }
  return socket == INVALID_SOCKET ? kNoSocket : socket;
}

NativeSocket AcceptConnection(NativeSocket listener) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const SOCKET accepted = ::accept(listener, nullptr, nullptr);
    if (accepted != INVALID_SOCKET) {
      StopInheritance(accepted);
      return accepted;
    }
    const int code = ::WSAGetLastError();
    if (code != WSAEINTR && code != WSAECONNRESET) break;
  }
  return kNoSocket;
}

bool SetNonBlocking(NativeSocket socket, bool nonBlocking) {
  u_long mode = nonBlocking ? 1 : 0;
  return ::ioctlsocket(socket, FIONBIO, &mode) == 0;
}

bool IsTransientAcceptError(int code) {
  return code == WSAEMFILE || code == WSAENOBUFS || code == WSAECONNRESET ||
         code == WSAEWOULDBLOCK || code == WSAEINTR;
}

bool ShutdownSending(NativeSocket socket) { return ::shutdown(socket, SD_SEND) == 0; }

int PendingConnectError(NativeSocket socket) {
  int failure = 0;
  int size = sizeof failure;
  // NOLINTNEXTLINE: Winsock takes the option through a char pointer.
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &size) != 0)
    return ::WSAGetLastError();
  return failure;
}

bool SetSendTimeout(NativeSocket socket, unsigned ms) {
  const DWORD limit = ms;
  // NOLINTNEXTLINE: Winsock takes the option through a char pointer.
  return ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit),
                      sizeof limit) == 0;
}

int Wait(NativeSocket socket, WaitFor what, int ms) {
  // select rather than WSAPoll: WSAPoll of Windows before 10 (2004) never
  // reports a refused connect, the wait would last the whole time-out.
  fd_set readable{};
  fd_set writable{};
  fd_set failed{};
  if (what == WaitFor::kReadable) {
    readable.fd_count = 1;
    readable.fd_array[0] = socket;
  } else {
    writable.fd_count = 1;
    writable.fd_array[0] = socket;
    failed.fd_count = 1;  // where a failed connect shows
    failed.fd_array[0] = socket;
  }
  timeval limit{ms / 1000, ms % 1000 * 1000};
  const int ready = ::select(0, &readable, &writable, &failed, ms < 0 ? nullptr : &limit);
  return ready == SOCKET_ERROR ? -1 : ready;
}

std::ptrdiff_t SendSome(NativeSocket socket, const char* bytes, std::size_t count) {
  const int chunk = static_cast<int>(std::min<std::size_t>(count, INT_MAX));
  const int sent = ::send(socket, bytes, chunk, 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

std::ptrdiff_t ReceiveSome(NativeSocket socket, char* buffer, std::size_t size) {
  const int room = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
  const int got = ::recv(socket, buffer, room, 0);
  return got == SOCKET_ERROR ? -1 : got;
}

}  // namespace net
}  // namespace rovant
