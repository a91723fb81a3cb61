// The program's side of the reply mailbox: a private mirror of the shared
// block, copied whole in either direction under the named mutex, and the
// exchange that hands a command to the language monitor and polls for its
// answer.
#pragma once

#include <cstdint>
#include <span>

#include "connection/mailbox_block.hpp"
#include "connection/mailbox_platform.hpp"
#include "platform/clock.hpp"

namespace rovant {

// A monitor that has not answered by then is taken as gone: the exchange
// fails and the caller's no-response path runs.
inline constexpr unsigned kMailboxAnswerLimitMs = 30000;
// Waiting for the mutex: slices of this length, at most this many.
inline constexpr unsigned kMailboxLockSliceMs = 1000;
inline constexpr unsigned kMailboxLockSlices = 30;
// First look after a command, then between looks.
inline constexpr unsigned kMailboxFirstPollMs = 100;
inline constexpr unsigned kMailboxPollMs = 1;

// Why the last exchange failed.
enum class MailboxFailure {
  kNone,
  kNotOpen,        // the block is not mapped
  kLockTimedOut,   // the mutex could not be had within its bound
  kMonitorFailed,  // the monitor answered with status 1
  kNoAnswer,       // the monitor did not answer within kMailboxAnswerLimitMs
};

class ReplyMailbox {
 public:
  ReplyMailbox(MailboxPlatform& platform, Clock& clock) : platform_(platform), clock_(clock) {}
  ~ReplyMailbox() { Close(); }
  ReplyMailbox(const ReplyMailbox&) = delete;
  ReplyMailbox& operator=(const ReplyMailbox&) = delete;

  // Maps the block and clears it; true at once when already open.
  bool Open();
  // Unmaps the block; the mailbox is closed again.
  void Close();
  [[nodiscard]] bool IsOpen() const { return !view_.empty(); }

  // Clears the block and starts the one-byte spooler job.
  void StartSpoolerSession();
  // Hands a command (with its data, at most 4096 bytes) to the monitor and
  // waits for its status: 1 done, 0 failed or no answer within the limit,
  // the command itself for any other status.
  std::uint32_t Exchange(std::uint32_t command, std::span<const std::uint8_t> data);
  // Tells the monitor the job has ended; does not wait.
  void End();

  [[nodiscard]] MailboxFailure lastFailure() const { return lastFailure_; }

  // The private mirror: after a receive, the reply and its length.
  [[nodiscard]] const MailboxBlock& mirror() const { return mirror_; }
  [[nodiscard]] MailboxBlock& mirror() { return mirror_; }

 private:
  enum class Direction { kMirrorToView, kViewToMirror };
  // Copies the whole block under the mutex; false when the mutex could not be had.
  bool Copy(Direction direction);

  MailboxPlatform& platform_;
  Clock& clock_;
  std::span<std::uint8_t> view_;
  MailboxBlock mirror_;
  MailboxFailure lastFailure_ = MailboxFailure::kNone;
  bool lockStuck_ = false;  // the last copy could not get the mutex
};

}  // namespace rovant
