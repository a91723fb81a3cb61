// The surroundings of a printer operation on a terminal: status lines and
// messages on standard error, real waits that say what they are waiting for.
#pragma once

#include <iosfwd>

#include "platform/clock.hpp"
#include "platform/cursor.hpp"
#include "platform/message_boxes.hpp"
#include "platform/operation_host.hpp"
#include "platform/page_store.hpp"
#include "platform/steady_clock.hpp"

namespace rovant::cli {

// Sleeps for real: the waits belong to the printer protocol. Says so first.
class ConsoleClock final : public Clock {
 public:
  explicit ConsoleClock(std::ostream& progress) : progress_(progress) {}
  void SleepMs(unsigned milliseconds) override;
  std::uint64_t NowMs() override { return SteadyClock::SteadyNowMs(); }

 private:
  std::ostream& progress_;
};

class ConsoleHost final : public OperationHost {
 public:
  explicit ConsoleHost(std::ostream& progress) : progress_(progress) {}
  void ShowStatus(std::string_view text) override;
  void CloseStatus() override {}
  void RunPrintFinishedDialog() override;
  void LogReply(std::span<const char> /*bytes*/) override {}

 private:
  std::ostream& progress_;
};

// Every message on standard error, answered with OK (or Abort where OK is no choice).
class ConsoleMessages final : public MessageBoxes {
 public:
  explicit ConsoleMessages(std::ostream& out) : out_(out) {}
  int Show(const MessageBoxRequest& request) override;
  [[nodiscard]] int count() const { return count_; }

 private:
  std::ostream& out_;
  int count_ = 0;
};

// No mouse, no page: the record itself is what the command works on.
class NoCursor final : public Cursor {
 public:
  void ShowWait() override {}
  void ShowArrow() override {}
};
class NoPage final : public PageStore {
 public:
  void StorePageSelections() override {}
  void RefreshCurrentPage() override {}
};

}  // namespace rovant::cli
