#include "connection/reply_mailbox.hpp"

#include <algorithm>
#include <cstring>

namespace rovant {

bool ReplyMailbox::Open() {
  if (IsOpen()) return true;
  const std::span<std::uint8_t> view = platform_.MapBlock();
  if (view.size() != kMailboxBlockSize) {
    if (!view.empty()) platform_.UnmapBlock();
    return false;
  }
  view_ = view;
  mirror_.Clear();
  Copy(Direction::kMirrorToView);
  return true;
}

void ReplyMailbox::Close() {
  if (!IsOpen()) return;
  platform_.UnmapBlock();
  view_ = {};
  mirror_.Clear();
}

bool ReplyMailbox::Copy(Direction direction) {
  if (!IsOpen() || !platform_.OpenLock()) return false;
  bool held = false;
  // Once the mutex stayed held for a whole bound, the monitor is taken as
  // hung: later copies try for one slice only, until one succeeds again.
  const unsigned slices = lockStuck_ ? 1 : kMailboxLockSlices;
  for (unsigned slice = 0; slice < slices && !held; ++slice) {
    const LockWait wait = platform_.WaitLock(kMailboxLockSliceMs);
    if (wait == LockWait::kFailed) break;
    // An abandoned mutex (the monitor ended while holding it) is ours now.
    held = wait == LockWait::kAcquired || wait == LockWait::kAbandoned;
  }
  if (held) {
    const std::span<std::uint8_t> mirror = mirror_.bytes();
    if (direction == Direction::kMirrorToView) {
      std::memcpy(view_.data(), mirror.data(), kMailboxBlockSize);
    } else {
      std::memcpy(mirror.data(), view_.data(), kMailboxBlockSize);
    }
    platform_.ReleaseLock();
  }
  platform_.CloseLock();
  lockStuck_ = !held;
  return held;
}

void ReplyMailbox::StartSpoolerSession() {
  mirror_.Clear();
  Copy(Direction::kMirrorToView);
  platform_.StartSpoolerJob();
}

std::uint32_t ReplyMailbox::Exchange(std::uint32_t command, std::span<const std::uint8_t> data) {
  lastFailure_ = MailboxFailure::kNone;
  if (!IsOpen()) {
    lastFailure_ = MailboxFailure::kNotOpen;
    return 0;
  }
  const std::size_t length = std::min(data.size(), kMailboxDataSize);
  mirror_.set_command(command);
  if (length > 0) std::memcpy(mirror_.data().data(), data.data(), length);
  mirror_.set_length(static_cast<std::uint32_t>(length));
  mirror_.set_status(kMailboxPending);
  if (!Copy(Direction::kMirrorToView)) {
    lastFailure_ = MailboxFailure::kLockTimedOut;
    return 0;
  }

  // The bound is on the time that really passed: a 1 ms sleep may take a
  // whole timer tick on a system whose timer runs coarse.
  const std::uint64_t start = clock_.NowMs();
  clock_.SleepMs(kMailboxFirstPollMs);
  for (;;) {
    if (!Copy(Direction::kViewToMirror)) {
      lastFailure_ = MailboxFailure::kLockTimedOut;
      return 0;
    }
    const std::uint32_t status = mirror_.status();
    if (status == kMailboxFailed) {
      lastFailure_ = MailboxFailure::kMonitorFailed;
      return 0;
    }
    if (status == kMailboxDone) return 1;
    if (status != kMailboxPending) return command;
    if (clock_.NowMs() - start >= kMailboxAnswerLimitMs) {
      lastFailure_ = MailboxFailure::kNoAnswer;
      return 0;
    }
    clock_.SleepMs(kMailboxPollMs);
  }
}

void ReplyMailbox::End() {
  mirror_.set_command(kMailboxEndOfJob);
  Copy(Direction::kMirrorToView);
}

}  // namespace rovant
