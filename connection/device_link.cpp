#include "connection/device_link.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "connection/fd_wait.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

// A device without a poll of its own (a parallel port) always reads as ready:
// when it still has nothing, the next try comes after this pause.
constexpr int kStallPauseMs = 10;

// What the file at `path` is, for a refusal that names it.
std::string_view KindOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return msg::kKindMissing;
  if (S_ISREG(info.st_mode)) return msg::kKindRegularFile;
  if (S_ISDIR(info.st_mode)) return msg::kKindFolder;
  if (S_ISFIFO(info.st_mode)) return msg::kKindNamedPipe;
  if (S_ISSOCK(info.st_mode)) return msg::kKindSocket;
  if (S_ISBLK(info.st_mode)) return msg::kKindBlockDevice;
  return msg::kKindOther;
}

std::string OpenFailureText(const std::string& path, int error) {
  switch (error) {
    case kNotADeviceError:
      return msg::NotADevice(path, KindOf(path));
    case EBUSY:
      return msg::DeviceBusy(path);
    case EACCES:
    case EPERM:
      return msg::DeviceNotPermitted(path);
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return msg::DeviceAbsent(path);
    default:
      return msg::DeviceNotOpened(path, std::strerror(error));
  }
}

// A device that went away in the middle of an exchange.
bool Unplugged(int error) { return error == ENODEV || error == ENXIO; }

}  // namespace

int OpenCharacterDevice(const std::string& path, int flags) {
  UniqueFd fd(::open(path.c_str(), flags));
  if (!fd.valid()) return -1;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return -1;
  if (!S_ISCHR(info.st_mode)) {
    errno = kNotADeviceError;
    return -1;
  }
  const int owned = fd.get();
  fd.Release();
  return owned;
}

DeviceLink::DeviceLink(std::string path, DeviceTimeouts timeouts, DeviceOpener opener)
    : path_(std::move(path)), timeouts_(timeouts), opener_(std::move(opener)) {
  if (!opener_) {
    opener_ = OpenCharacterDevice;
  }
}

LinkOpening DeviceLink::Open(LinkRoute route) {
  if (OpenDevice() || route == LinkRoute::kSpoolerSession) return {};
  return {false, std::string(msg::kLanNoResponse)};
}

bool DeviceLink::OpenDevice() {
  device_.Reset();
  error_.clear();
  int fd = -1;
  // An open interrupted by a signal is tried again, a bounded number of times.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd = opener_(path_, kDeviceOpenFlags);
    if (fd >= 0 || errno != EINTR) break;
  }
  if (fd < 0) {
    error_ = OpenFailureText(path_, errno);
    return false;
  }
  device_ = UniqueFd(fd);
  return true;
}

bool DeviceLink::NotOpen() {
  if (error_.empty()) error_ = msg::DeviceNotOpen(path_);
  return false;
}

bool DeviceLink::ReadFailed(int error) {
  if (error == EINVAL) {
    error_ = msg::DeviceOneWay(path_);
  } else if (Unplugged(error)) {
    error_ = msg::DeviceUnplugged(path_);
  } else {
    error_ = msg::DeviceReceivingFailed(path_, std::strerror(error));
  }
  return false;
}

bool DeviceLink::Send(std::string_view bytes) {
  if (!device_.valid()) return NotOpen();
  // The write time-out counts from the last byte the printer took; the send
  // time-out from the start, so that a trickle of bytes cannot stretch it.
  const auto writeTimeOut = std::chrono::milliseconds(timeouts_.writeMs);
  const SteadyClock::time_point sendDeadline =
      SteadyClock::now() + std::chrono::milliseconds(timeouts_.sendMs);
  const std::size_t total = bytes.size();
  SteadyClock::time_point deadline = SteadyClock::now() + writeTimeOut;
  int stalls = 0;
  while (!bytes.empty()) {
    if (RemainingMs(sendDeadline) == 0) {
      error_ =
          msg::DeviceTookOnly(path_, total - bytes.size(), total, SecondsText(timeouts_.sendMs));
      return false;
    }
    const ssize_t written = ::write(device_.get(), bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      deadline = SteadyClock::now() + writeTimeOut;
      stalls = 0;
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      // The printer takes no more for now (busy, off line, out of paper).
      const int left = std::min(RemainingMs(deadline), RemainingMs(sendDeadline));
      if (RemainingMs(deadline) == 0) {
        error_ = msg::DeviceTookNoData(path_, SecondsText(timeouts_.writeMs));
        return false;
      }
      if (stalls++ > 0) {
        PauseMs(std::min(kStallPauseMs, left));
      } else if (WaitForFd(device_.get(), POLLOUT, left) < 0) {
        error_ = msg::DeviceSendingFailed(path_, std::strerror(errno));
        return false;
      }
      continue;
    }
    const int error = errno;
    error_ = Unplugged(error) ? msg::DeviceUnplugged(path_)
                              : msg::DeviceSendingFailed(path_, std::strerror(error));
    return false;
  }
  return true;
}

bool DeviceLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  reply.fill('\0');
  length = 0;
  if (!device_.valid()) return NotOpen();
  const int fd = device_.get();

  // The first byte: tried at once (a one-way interface says so only when read,
  // and the usblp driver polls as readable only once a read was made), then
  // waited for up to the receive time-out.
  const SteadyClock::time_point firstDeadline =
      SteadyClock::now() + std::chrono::milliseconds(timeouts_.receiveMs);
  int stalls = 0;
  for (;;) {
    const ssize_t got = ::read(fd, reply.data(), reply.size());
    if (got > 0) {
      length = static_cast<std::size_t>(got);
      break;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return ReadFailed(errno);
    const int left = RemainingMs(firstDeadline);
    if (left == 0) {
      error_ = msg::DeviceNoAnswer(path_, SecondsText(timeouts_.receiveMs));
      return false;
    }
    // Nothing yet (0: the device has nothing to say at the moment).
    if (got == 0 || stalls++ > 0) {
      PauseMs(std::min(kStallPauseMs, left));
    } else if (WaitForFd(fd, POLLIN, left) < 0) {
      return ReadFailed(errno);
    }
  }

  // The rest: until the printer has been quiet for the quiet time, and in any
  // case one receive time-out after the first byte.
  const SteadyClock::time_point deadline =
      SteadyClock::now() + std::chrono::milliseconds(timeouts_.receiveMs);
  const auto quiet = std::chrono::milliseconds(timeouts_.quietMs);
  SteadyClock::time_point lastByte = SteadyClock::now();
  std::array<char, 1024> excess{};  // what comes after a full buffer is read and dropped
  stalls = 0;
  for (;;) {
    const bool full = length == reply.size();
    char* into = full ? excess.data() : reply.data() + length;
    const std::size_t room = full ? excess.size() : reply.size() - length;
    const ssize_t got = ::read(fd, into, room);
    if (got > 0) {
      if (!full) length += static_cast<std::size_t>(got);
      lastByte = SteadyClock::now();
      stalls = 0;
      if (RemainingMs(deadline) == 0) break;
      continue;
    }
    if (got == 0) break;  // the device has no more
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return ReadFailed(errno);
    const int wait = std::min(RemainingMs(lastByte + quiet), RemainingMs(deadline));
    if (wait <= 0) break;
    if (stalls++ > 0) {
      PauseMs(std::min(kStallPauseMs, wait));
    } else if (WaitForFd(fd, POLLIN, wait) < 0) {
      return ReadFailed(errno);
    }
  }
  return true;
}

}  // namespace rovant
