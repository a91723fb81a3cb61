// A mailbox whose block and mutex live in this process: for a monitor played
// by another thread (tests, benchmarks, the in-process demonstration).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>

#include "connection/mailbox_platform.hpp"

namespace rovant {

// The objects both sides share, as the named mapping and mutex are shared.
struct MemoryMailbox {
  std::array<std::uint8_t, kMailboxBlockSize> block{};
  std::timed_mutex mutex;
};

class MemoryMailboxPlatform final : public MailboxPlatform {
 public:
  explicit MemoryMailboxPlatform(MemoryMailbox& shared) : shared_(shared) {}
  std::span<std::uint8_t> MapBlock() override { return shared_.block; }
  void UnmapBlock() override {}
  bool OpenLock() override { return true; }
  LockWait WaitLock(unsigned milliseconds) override {
    return shared_.mutex.try_lock_for(std::chrono::milliseconds(milliseconds))
               ? LockWait::kAcquired
               : LockWait::kTimedOut;
  }
  void ReleaseLock() override { shared_.mutex.unlock(); }
  void CloseLock() override {}
  void StartSpoolerJob() override { jobs.fetch_add(1); }

  std::atomic<int> jobs{0};

 private:
  MemoryMailbox& shared_;
};

}  // namespace rovant
