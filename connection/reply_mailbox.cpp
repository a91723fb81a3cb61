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
  for (unsigned slice = 0; slice < kMailboxLockSlices && !held; ++slice) {
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
  return held;
}

void ReplyMailbox::StartSpoolerSession() {
  mirror_.Clear();
  Copy(Direction::kMirrorToView);
  platform_.StartSpoolerJob();
}

std::uint32_t ReplyMailbox::Exchange(std::uint32_t command, std::span<const std::uint8_t> data) {
  if (!IsOpen()) return 0;
  const std::size_t length = std::min(data.size(), kMailboxDataSize);
  mirror_.set_command(command);
  if (length > 0) std::memcpy(mirror_.data().data(), data.data(), length);
  mirror_.set_length(static_cast<std::uint32_t>(length));
  mirror_.set_status(kMailboxPending);
  if (!Copy(Direction::kMirrorToView)) return 0;

  clock_.SleepMs(kMailboxFirstPollMs);
  unsigned waited = kMailboxFirstPollMs;
  for (;;) {
    if (!Copy(Direction::kViewToMirror)) return 0;
    const std::uint32_t status = mirror_.status();
    if (status == kMailboxFailed) return 0;
    if (status == kMailboxDone) return 1;
    if (status != kMailboxPending) return command;
    if (waited >= kMailboxAnswerLimitMs) return 0;
    clock_.SleepMs(kMailboxPollMs);
    waited += kMailboxPollMs;
  }
}

void ReplyMailbox::End() {
  mirror_.set_command(kMailboxEndOfJob);
  Copy(Direction::kMirrorToView);
}

}  // namespace rovant
