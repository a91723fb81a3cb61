// The few socket calls whose form differs between POSIX and Winsock, behind
// one set of names. The POSIX side is socket_posix.cpp, the Windows side
// socket_win32.cpp; everything here returns instead of throwing.
#pragma once

#include <cstddef>
#include <string>

#include "connection/socket_handle.hpp"

namespace rovant::net {

// Winsock started for as long as this lives (WSAStartup/WSACleanup, which
// count: every owner of sockets keeps its own). Nothing to do on POSIX.
class SocketSession {
 public:
  SocketSession();
  ~SocketSession();
  SocketSession(const SocketSession&) = delete;
  SocketSession& operator=(const SocketSession&) = delete;
  // False when Winsock could not be started; no socket call works then.
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// What a socket error code means to the caller.
enum class SocketErrorKind {
  kOther,
  kRefused,      // nobody listens on that port
  kTimedOut,     // the system gave up waiting
  kWouldBlock,   // a non-blocking call has to wait
  kInProgress,   // a non-blocking connect goes on (Winsock says would-block)
  kInterrupted,  // a signal came: try again
};

// The code of the last failed socket call (errno or WSAGetLastError).
int LastSocketError();
SocketErrorKind ClassifySocketError(int code);
// The system's text for `code`, e.g. "Connection refused".
std::string SocketErrorText(int code);
// The text for a getaddrinfo result (gai_strerror or the Winsock text).
std::string AddressErrorText(int code);
// Whether a failed accept may succeed later (out of descriptors or memory, a
// connection that went away before it was taken): serving goes on.
bool IsTransientAcceptError(int code);
// The codes a time-out and a connection closed by the peer are reported with.
int TimedOutCode();
int ConnectionResetCode();
// Keeps the module that holds this code loaded until the process ends, for a
// thread left to run on its own (a DLL unloaded under it would crash the
// process). Nothing to do in a program.
void KeepThisModuleLoaded();

// A stream socket that child processes do not inherit; kNoSocket on failure.
NativeSocket OpenStreamSocket(int family, int protocol);
// Accepts a connection (not inherited either); kNoSocket on failure.
NativeSocket AcceptConnection(NativeSocket listener);
bool SetNonBlocking(NativeSocket socket, bool nonBlocking);
// Ends the sending direction (the peer reads end of file); false on an error.
bool ShutdownSending(NativeSocket socket);
// The result of a non-blocking connect once the socket is writable (0: connected).
int PendingConnectError(NativeSocket socket);
// Sends fail instead of blocking longer than `ms` (0: block as long as needed).
bool SetSendTimeout(NativeSocket socket, unsigned ms);

enum class WaitFor { kReadable, kWritable };
// Waits up to `ms` (-1: for ever) until `socket` is readable or writable (a
// failed connect counts as writable); >0 ready, 0 time-out, <0 error.
// Interrupted waits are resumed with what is left of the time.
int Wait(NativeSocket socket, WaitFor what, int ms);

// send (never raising SIGPIPE) and recv: the bytes moved, or -1 with the
// code in LastSocketError(); 0 from ReceiveSome means the peer closed.
std::ptrdiff_t SendSome(NativeSocket socket, const char* bytes, std::size_t count);
std::ptrdiff_t ReceiveSome(NativeSocket socket, char* buffer, std::size_t size);

}  // namespace rovant::net
