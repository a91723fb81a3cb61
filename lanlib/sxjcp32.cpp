// SxJcp32.dll: the LAN connection library, a raw TCP connection to the
// printer's print port per opened port (see sxjcp_api.h). Ports live in a
// small table inside the library; a port handle is its place in the table
// plus one, never a pointer handed out.
//
// For tests and unusual networks the environment may change:
//   ROVANT_LAN_TCP_PORT    the printer's TCP port (default 9100)
//   ROVANT_LAN_CONNECT_MS  how long a connection may take to be set up (3000)
//   ROVANT_LAN_RECEIVE_MS  how long a read waits for the reply's first byte (5000)
//   ROVANT_LAN_QUIET_MS    the quiet time that ends a reply (200)
// Values out of range are ignored.
#include <array>
#include <atomic>
#include <charconv>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "connection/socket_api.hpp"
#include "connection/tcp_link.hpp"
#include "lanlib/sxjcp_api.h"

namespace {

constexpr std::size_t kPortLimit = 16;
constexpr std::size_t kHostLimit = 255;  // longest host text taken
constexpr unsigned kLongestWaitMs = 600000;

struct Port {
  Port(std::string host, std::uint16_t tcpPort, rovant::TcpTimeouts timeouts)
      : link(std::move(host), tcpPort, timeouts) {}
  std::mutex use;  // one call at a time on the connection
  rovant::TcpLink link;
  std::atomic<DWORD> lastError{0};
};

struct Library {
  std::mutex lock;
  int startups = 0;
  std::optional<rovant::net::SocketSession> sockets;  // while started
  std::array<std::shared_ptr<Port>, kPortLimit> ports;
  std::atomic<DWORD> openError{0};
};

Library& State() {
  static Library library;
  return library;
}

// A whole number from the environment within [low, high], or nothing.
std::optional<unsigned> EnvironmentNumber(const char* name, unsigned low, unsigned high) {
  std::array<char, 16> text{};
  const DWORD length =
      ::GetEnvironmentVariableA(name, text.data(), static_cast<DWORD>(text.size()));
  if (length == 0 || length >= text.size()) return std::nullopt;
  unsigned value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + length, value);
  if (status != std::errc{} || end != text.data() + length || value < low || value > high)
    return std::nullopt;
  return value;
}

std::uint16_t PrinterTcpPort() {
  return static_cast<std::uint16_t>(
      EnvironmentNumber("ROVANT_LAN_TCP_PORT", 1, 65535).value_or(rovant::kTcpDefaultPort));
}

rovant::TcpTimeouts Timeouts() {
  rovant::TcpTimeouts timeouts;
  timeouts.connectMs =
      EnvironmentNumber("ROVANT_LAN_CONNECT_MS", 1, kLongestWaitMs).value_or(timeouts.connectMs);
  timeouts.receiveMs =
      EnvironmentNumber("ROVANT_LAN_RECEIVE_MS", 1, kLongestWaitMs).value_or(timeouts.receiveMs);
  timeouts.quietMs =
      EnvironmentNumber("ROVANT_LAN_QUIET_MS", 1, kLongestWaitMs).value_or(timeouts.quietMs);
  return timeouts;
}

std::optional<std::size_t> SlotOf(HANDLE handle) {
  // NOLINTNEXTLINE: a port handle is a number in a pointer's clothes.
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value == 0 || value > kPortLimit) return std::nullopt;
  return static_cast<std::size_t>(value - 1);
}

HANDLE HandleOf(std::size_t slot) {
  // NOLINTNEXTLINE: see SlotOf.
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(slot + 1));
}

std::shared_ptr<Port> Find(HANDLE handle) {
  const std::optional<std::size_t> slot = SlotOf(handle);
  if (!slot) return nullptr;
  Library& library = State();
  const std::lock_guard<std::mutex> guard(library.lock);
  return library.ports[*slot];
}

BOOL Failed(DWORD code) {
  ::SetLastError(code);
  return FALSE;
}

BOOL PortFailed(Port& port, int code) {
  const DWORD error = code != 0 ? static_cast<DWORD>(code) : ERROR_GEN_FAILURE;
  port.lastError = error;
  return Failed(error);
}

HANDLE OpenFailed(DWORD code) {
  State().openError = code;
  ::SetLastError(code);
  return INVALID_HANDLE_VALUE;
}

BOOL NotSupported(HANDLE port) {
  if (const std::shared_ptr<Port> found = Find(port)) found->lastError = ERROR_NOT_SUPPORTED;
  return Failed(ERROR_NOT_SUPPORTED);
}

}  // namespace

extern "C" {

BOOL WINAPI SxStartup(HINSTANCE /*instance*/) {
  Library& library = State();
  const std::lock_guard<std::mutex> guard(library.lock);
  if (library.startups == 0) {
    library.sockets.emplace();
    if (!library.sockets->ok()) {
      const int code = rovant::net::LastSocketError();
      library.sockets.reset();
      return Failed(static_cast<DWORD>(code));
    }
  }
  ++library.startups;
  return TRUE;
}

BOOL WINAPI SxCleanup(void) {
  Library& library = State();
  const std::lock_guard<std::mutex> guard(library.lock);
  if (library.startups == 0) return Failed(WSANOTINITIALISED);
  if (--library.startups == 0) {
    for (std::shared_ptr<Port>& port : library.ports) port.reset();
    library.sockets.reset();
  }
  return TRUE;
}

HANDLE WINAPI SxOpenPort(const char* portText) {
  Library& library = State();
  {
    const std::lock_guard<std::mutex> guard(library.lock);
    if (library.startups == 0) return OpenFailed(WSANOTINITIALISED);
  }
  if (portText == nullptr) return OpenFailed(ERROR_INVALID_PARAMETER);
  const std::size_t length = ::strnlen(portText, kHostLimit + 1);
  if (length == 0 || length > kHostLimit) return OpenFailed(ERROR_INVALID_PARAMETER);

  // Connecting may take seconds: other ports go on meanwhile.
  auto port = std::make_shared<Port>(std::string(portText, length), PrinterTcpPort(), Timeouts());
  if (!port->link.Open(rovant::LinkRoute::kLan).open) {
    const int code = port->link.lastErrorCode();
    return OpenFailed(code != 0 ? static_cast<DWORD>(code) : ERROR_GEN_FAILURE);
  }
  const std::lock_guard<std::mutex> guard(library.lock);
  if (library.startups == 0) return OpenFailed(WSANOTINITIALISED);  // cleaned up meanwhile
  for (std::size_t slot = 0; slot < library.ports.size(); ++slot) {
    if (!library.ports[slot]) {
      library.ports[slot] = std::move(port);
      return HandleOf(slot);
    }
  }
  return OpenFailed(ERROR_TOO_MANY_OPEN_FILES);
}

BOOL WINAPI SxClosePort(HANDLE handle) {
  const std::optional<std::size_t> slot = SlotOf(handle);
  if (!slot) return Failed(ERROR_INVALID_HANDLE);
  std::shared_ptr<Port> port;
  {
    Library& library = State();
    const std::lock_guard<std::mutex> guard(library.lock);
    port = std::move(library.ports[*slot]);
    library.ports[*slot].reset();
  }
  if (!port) return Failed(ERROR_INVALID_HANDLE);
  const std::lock_guard<std::mutex> use(port->use);
  port->link.Close();
  return TRUE;
}

BOOL WINAPI SxReadPort(HANDLE handle, void* buffer, DWORD size, DWORD* received) {
  if (received != nullptr) *received = 0;
  const std::shared_ptr<Port> port = Find(handle);
  if (!port) return Failed(ERROR_INVALID_HANDLE);
  if (received == nullptr || (buffer == nullptr && size != 0))
    return PortFailed(*port, ERROR_INVALID_PARAMETER);
  const std::lock_guard<std::mutex> use(port->use);
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  if (!port->link.Receive(reply, length)) return PortFailed(*port, port->link.lastErrorCode());
  // What does not fit the caller's buffer is dropped.
  const std::size_t copied = std::min<std::size_t>(length, size);
  if (copied > 0) std::memcpy(buffer, reply.data(), copied);
  *received = static_cast<DWORD>(copied);
  port->lastError = 0;
  return TRUE;
}

BOOL WINAPI SxWritePort(HANDLE handle, const void* bytes, DWORD count, DWORD* written) {
  if (written != nullptr) *written = 0;
  const std::shared_ptr<Port> port = Find(handle);
  if (!port) return Failed(ERROR_INVALID_HANDLE);
  if (written == nullptr || (bytes == nullptr && count != 0))
    return PortFailed(*port, ERROR_INVALID_PARAMETER);
  const std::lock_guard<std::mutex> use(port->use);
  if (count > 0 && !port->link.Send(std::string_view(static_cast<const char*>(bytes), count)))
    return PortFailed(*port, port->link.lastErrorCode());
  *written = count;
  port->lastError = 0;
  return TRUE;
}

DWORD WINAPI SxGetError(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return State().openError;
  const std::shared_ptr<Port> port = Find(handle);
  return port ? port->lastError.load() : static_cast<DWORD>(ERROR_INVALID_HANDLE);
}

HANDLE WINAPI SxOpenStatus(const char* /*portText*/) {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI SxCloseStatus(HANDLE /*status*/) { return Failed(ERROR_NOT_SUPPORTED); }

BOOL WINAPI SxGetStatus(HANDLE /*status*/, void* /*buffer*/, DWORD /*size*/, DWORD* received) {
  if (received != nullptr) *received = 0;
  return Failed(ERROR_NOT_SUPPORTED);
}

BOOL WINAPI SxGetDeviceID(HANDLE port, char* buffer, DWORD size, DWORD* length) {
  if (length != nullptr) *length = 0;
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  return NotSupported(port);
}

HANDLE WINAPI SxOpenSearch(void) {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI SxCloseSearch(HANDLE /*search*/) { return Failed(ERROR_NOT_SUPPORTED); }

BOOL WINAPI SxSendSearch(HANDLE /*search*/, void* /*results*/, DWORD /*size*/, DWORD* found) {
  if (found != nullptr) *found = 0;
  return Failed(ERROR_NOT_SUPPORTED);
}

BOOL WINAPI SxSetUseICMP(BOOL /*use*/) { return Failed(ERROR_NOT_SUPPORTED); }

BOOL WINAPI SxSendCancel(HANDLE port) { return NotSupported(port); }

BOOL WINAPI SxSendICMP(const char* /*host*/, DWORD /*timeoutMs*/) {
  return Failed(ERROR_NOT_SUPPORTED);
}

}  // extern "C"

namespace {

// Every argument of an entry point takes one stack slot (a handle, a pointer, a DWORD or a
// BOOL), so its argument bytes on i686, the number the decorated name carries (SxReadPort@16)
// and the .def file maps the plain name to, are four per parameter.
template <typename R, typename... A>
constexpr std::size_t StdcallArgumentBytes(R(WINAPI*)(A...)) {
  static_assert(((sizeof(A) <= sizeof(void*)) && ...), "an argument wider than one stack slot");
  return sizeof...(A) * 4;
}

static_assert(StdcallArgumentBytes(&SxStartup) == 4 && StdcallArgumentBytes(&SxCleanup) == 0 &&
              StdcallArgumentBytes(&SxOpenPort) == 4 && StdcallArgumentBytes(&SxClosePort) == 4 &&
              StdcallArgumentBytes(&SxReadPort) == 16 && StdcallArgumentBytes(&SxWritePort) == 16 &&
              StdcallArgumentBytes(&SxGetError) == 4);
static_assert(
    StdcallArgumentBytes(&SxOpenStatus) == 4 && StdcallArgumentBytes(&SxCloseStatus) == 4 &&
    StdcallArgumentBytes(&SxGetStatus) == 16 && StdcallArgumentBytes(&SxGetDeviceID) == 16 &&
    StdcallArgumentBytes(&SxOpenSearch) == 0 && StdcallArgumentBytes(&SxCloseSearch) == 4 &&
    StdcallArgumentBytes(&SxSendSearch) == 16 && StdcallArgumentBytes(&SxSetUseICMP) == 4 &&
    StdcallArgumentBytes(&SxSendCancel) == 4 && StdcallArgumentBytes(&SxSendICMP) == 8);

}  // namespace
