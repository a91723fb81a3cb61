// A printer reached through its device file: a USB printer (/dev/usb/lpN,
// the usblp driver) or a parallel port (/dev/lpN). Each exchange Open begins
// opens the device, Close closes it, so the printer is held no longer than one
// exchange. POSIX only.
#pragma once

#include <fcntl.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "connection/unique_fd.hpp"
#include "platform/printer_link.hpp"

namespace rovant {

// How long a send may wait for the printer to take more bytes.
inline constexpr unsigned kDeviceWriteTimeoutMs = 5000;
// How long one whole send may take, however steadily the printer takes bytes.
inline constexpr unsigned kDeviceSendTimeoutMs = 20000;
// How long a receive waits for the first byte of the reply.
inline constexpr unsigned kDeviceReceiveTimeoutMs = 5000;
// The reply is complete once the printer has been quiet this long.
inline constexpr unsigned kDeviceQuietMs = 200;
// The device is opened for both directions, never blocking, not inherited by
// child processes, and never made the controlling terminal.
inline constexpr int kDeviceOpenFlags = O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

struct DeviceTimeouts {
  unsigned writeMs = kDeviceWriteTimeoutMs;
  unsigned receiveMs = kDeviceReceiveTimeoutMs;
  unsigned quietMs = kDeviceQuietMs;
  unsigned sendMs = kDeviceSendTimeoutMs;
};

// Opens `path` with `flags` as ::open does: a descriptor the link then owns,
// or -1 with errno set.
using DeviceOpener = std::function<int(const std::string& path, int flags)>;

// The errno with which OpenCharacterDevice refuses what is not a character device.
inline constexpr int kNotADeviceError = ENOTTY;
// ::open, then a check on the opened descriptor itself (so that a file put in
// the device's place between a look and the open cannot pass): anything but
// a character device is closed again and refused with kNotADeviceError.
int OpenCharacterDevice(const std::string& path, int flags);

class DeviceLink final : public PrinterLink {
 public:
  // An empty `opener` opens the device with OpenCharacterDevice.
  explicit DeviceLink(std::string path, DeviceTimeouts timeouts = {}, DeviceOpener opener = {});

  // Opens the device (the reply comes back through the device itself: there
  // is no mailbox). A failure on the LAN route carries the printer's "no
  // response" text; on the spooler session route it is kept, so the following
  // Send fails.
  LinkOpening Open(LinkRoute route) override;
  // Writes every byte, waiting while the printer takes none; false on an
  // error, after the write time-out without a byte taken, once the whole
  // send took longer than its own time-out, or without an open device.
  bool Send(std::string_view bytes) override;
  // Reads the reply until the printer has been quiet for a moment after its
  // first byte, or 4096 bytes came (the rest is read and dropped); false when
  // nothing came within the receive time-out, the interface cannot carry
  // replies (one-way), or the device is not open.
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  // Closes the device.
  void Close() override { device_.Reset(); }

  // Why the last open, send or receive failed, for the user ("" when none did).
  [[nodiscard]] std::string LastError() const override { return error_; }
  [[nodiscard]] bool open() const { return device_.valid(); }

 private:
  bool OpenDevice();
  bool NotOpen();
  bool ReadFailed(int error);

  std::string path_;
  DeviceTimeouts timeouts_;
  DeviceOpener opener_;
  UniqueFd device_;
  std::string error_;
};

}  // namespace rovant
