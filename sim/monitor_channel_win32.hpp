// The monitor's side of the mailbox on Windows: the same named mapping and
// mutex the program uses, the mutex created and closed around every copy.
#pragma once

#include <optional>
#include <string>

#include "connection/mailbox_names.hpp"
#include "platform/win32/named_objects.hpp"
#include "sim/monitor_loop.hpp"

namespace rovant::sim {

// How long one copy waits for the mutex before it gives up this look.
inline constexpr unsigned kMonitorLockWaitMs = 1000;

class Win32MonitorChannel final : public MonitorChannel {
 public:
  explicit Win32MonitorChannel(MailboxNames names) : names_(std::move(names)) {}
  ~Win32MonitorChannel() override;
  Win32MonitorChannel(const Win32MonitorChannel&) = delete;
  Win32MonitorChannel& operator=(const Win32MonitorChannel&) = delete;

  // Creates (or opens, when the program was first) the named mapping.
  bool Map();
  bool CopyOut(MailboxBlock& block) override;
  bool CopyIn(const MailboxBlock& block) override;
  // Takes the mutex and keeps it until this channel is destroyed: a monitor
  // that hangs while it holds the lock.
  bool HoldLock();

 private:
  bool Copy(void* to, const void* from);

  MailboxNames names_;
  win32::FileMapping mapping_;
  win32::NamedMutex heldMutex_;  // only with HoldLock
  std::optional<win32::MutexLock> heldLock_;
};

}  // namespace rovant::sim
