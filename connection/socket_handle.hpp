// A socket that closes itself, on POSIX (a descriptor) and on Windows (a
// Winsock SOCKET) alike. The system headers stay out of this header: a SOCKET
// is an unsigned pointer-sized integer, INVALID_SOCKET all bits set.
#pragma once

#include <cstdint>
#include <utility>

namespace rovant {

#ifdef _WIN32
using NativeSocket = std::uintptr_t;
inline constexpr NativeSocket kNoSocket = ~NativeSocket{0};
#else
using NativeSocket = int;
inline constexpr NativeSocket kNoSocket = -1;
#endif

// Closes `socket` (closesocket or close); nothing for kNoSocket.
void CloseNativeSocket(NativeSocket socket);

class SocketHandle {
 public:
  SocketHandle() = default;
  explicit SocketHandle(NativeSocket socket) : socket_(socket) {}
  ~SocketHandle() { Reset(); }
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  SocketHandle(SocketHandle&& other) noexcept : socket_(std::exchange(other.socket_, kNoSocket)) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      socket_ = std::exchange(other.socket_, kNoSocket);
    }
    return *this;
  }

  [[nodiscard]] NativeSocket get() const { return socket_; }
  [[nodiscard]] bool valid() const { return socket_ != kNoSocket; }
  void Reset() { CloseNativeSocket(std::exchange(socket_, kNoSocket)); }

 private:
  NativeSocket socket_ = kNoSocket;
};

}  // namespace rovant
