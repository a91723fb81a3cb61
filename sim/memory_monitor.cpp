#include "sim/memory_monitor.hpp"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

namespace rovant::sim {

MemoryMonitor::MemoryMonitor(MemoryMailbox& shared, SimulatedPrinter& printer,
                             std::chrono::milliseconds answerDelay)
    : shared_(shared), printer_(printer), answerDelay_(answerDelay), thread_([this] { Run(); }) {}

MemoryMonitor::~MemoryMonitor() {
  stop_ = true;
  thread_.join();
}

void MemoryMonitor::Run() {
  while (!stop_) {
    MailboxBlock block;
    {
      const std::lock_guard<std::timed_mutex> hold(shared_.mutex);
      std::memcpy(block.bytes().data(), shared_.block.data(), kMailboxBlockSize);
    }
    const bool pending = block.status() == kMailboxPending &&
                         (block.command() == kMailboxSend || block.command() == kMailboxReceive);
    if (pending) {
      std::this_thread::sleep_for(answerDelay_);
      AnswerCommand(block, printer_);
      const std::lock_guard<std::timed_mutex> hold(shared_.mutex);
      std::memcpy(shared_.block.data(), block.bytes().data(), kMailboxBlockSize);
    }
    // The end of a job is told once: the command stays in the block until the next job.
    if (block.command() == kMailboxEndOfJob && !ended_) printer_.EndSession();
    ended_ = block.command() == kMailboxEndOfJob;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
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
