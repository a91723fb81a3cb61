#include "sim/monitor_loop.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <thread>

namespace rovant::sim {

MonitorEvent MonitorLoop::Step() {
  MailboxBlock block;
  if (!channel_.CopyOut(block)) return MonitorEvent::kNoBlock;
  const std::uint32_t command = block.command();
  const bool pending =
      block.status() == kMailboxPending && (command == kMailboxSend || command == kMailboxReceive);
  if (command == kMailboxEndOfJob) {
    // The end of a job is told once: the command stays in the block until the next job.
    ignoring_ = false;
    if (ended_) return MonitorEvent::kNothing;
    ended_ = true;
    printer_.EndSession();
    ++jobsEnded_;
    return MonitorEvent::kJobEnded;
  }
  ended_ = false;
  if (!pending) {
    ignoring_ = false;
    return MonitorEvent::kNothing;
  }
  if (faults_.silent) {
    if (ignoring_) return MonitorEvent::kNothing;
    ignoring_ = true;
    ++exchanges_;
    return MonitorEvent::kIgnored;
  }
  ++exchanges_;
  if (answerDelay_.count() > 0) std::this_thread::sleep_for(answerDelay_);
  if (faults_.strangeStatus) {
    block.set_status(kMonitorStrangeStatus);
  } else if (faults_.failExchange == exchanges_) {
    block.set_status(kMailboxFailed);  // the port refused it: the printer never sees it
  } else {
    AnswerCommand(block, printer_);
  }
  return channel_.CopyIn(block) ? MonitorEvent::kAnswered : MonitorEvent::kNoBlock;
}

void AnswerCommand(MailboxBlock& block, SimulatedPrinter& printer) {
  if (block.command() == kMailboxSend) {
    const std::size_t length = std::min<std::size_t>(block.length(), kMailboxDataSize);
    const std::string_view bytes(reinterpret_cast<const char*>(block.data().data()), length);
    block.set_status(printer.Accept(bytes) ? kMailboxDone : kMailboxFailed);
    return;
  }
  std::array<char, kReplyLimit> reply{};
  std::size_t length = 0;
  const bool ok = printer.Reply(reply, length);
  std::memcpy(block.data().data(), reply.data(), length);
  block.set_length(static_cast<std::uint32_t>(length));
  block.set_status(ok ? kMailboxDone : kMailboxFailed);
}

}  // namespace rovant::sim
