// What the reply mailbox needs from the system: the named shared block, the
// named mutex around every copy, and the one-byte spooler job.
#pragma once

#include <cstdint>
#include <span>

#include "connection/mailbox_block.hpp"

namespace rovant {

enum class LockWait { kAcquired, kAbandoned, kTimedOut, kFailed };

class MailboxPlatform {
 public:
  virtual ~MailboxPlatform() = default;
  // Creates (or opens) the named block and maps a view of it. An empty span
  // on failure, with nothing left open.
  virtual std::span<std::uint8_t> MapBlock() = 0;
  virtual void UnmapBlock() = 0;
  // The named mutex, created or opened around each copy and closed after it.
  virtual bool OpenLock() = 0;
  virtual LockWait WaitLock(unsigned milliseconds) = 0;
  virtual void ReleaseLock() = 0;
  virtual void CloseLock() = 0;
  // Starts the thread that sends the one-byte job through the spooler; nobody waits for it.
  virtual void StartSpoolerJob() = 0;
};

}  // namespace rovant
