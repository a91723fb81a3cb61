#include "sim/monitor_channel_win32.hpp"

#include <cstring>

namespace rovant::sim {

// The held lock goes first, then its mutex, then the block (the members' order).
Win32MonitorChannel::~Win32MonitorChannel() = default;

bool Win32MonitorChannel::Map() {
  if (!mapping_.bytes().empty()) return true;
  return mapping_.Open(names_.mapping, kMailboxBlockSize);
}

bool Win32MonitorChannel::Copy(void* to, const void* from) {
  if (mapping_.bytes().empty()) return false;
  // The named mutex for this one copy: created, waited for, released and closed.
  win32::NamedMutex mutex;
  mutex.Open(names_.mutex);
  const win32::MutexLock lock(mutex, kMonitorLockWaitMs);
  if (!lock.held()) return false;
  std::memcpy(to, from, kMailboxBlockSize);
  return true;
}

bool Win32MonitorChannel::CopyOut(MailboxBlock& block) {
  return Copy(block.bytes().data(), mapping_.bytes().data());
}

bool Win32MonitorChannel::CopyIn(const MailboxBlock& block) {
  return Copy(mapping_.bytes().data(), block.bytes().data());
}

bool Win32MonitorChannel::HoldLock() {
  if (heldLock_) return true;
  if (!heldMutex_.Open(names_.mutex)) return false;
  heldLock_.emplace(heldMutex_, 10 * kMonitorLockWaitMs);
  if (heldLock_->held()) return true;
  heldLock_.reset();
  heldMutex_.Close();
  return false;
}

}  // namespace rovant::sim
