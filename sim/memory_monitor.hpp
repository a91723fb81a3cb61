// The language monitor's side of an in-process mailbox, answering every
// command through a simulated printer from a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "connection/mailbox_block.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

// Answers a pending send or receive in the block as a language monitor does,
// through the printer: the status, and for a receive the reply and its length.
void AnswerCommand(MailboxBlock& block, SimulatedPrinter& printer);

class MemoryMonitor {
 public:
  // `answerDelay` holds each answer back, as a printer that takes its time.
  MemoryMonitor(MemoryMailbox& shared, SimulatedPrinter& printer,
                std::chrono::milliseconds answerDelay = std::chrono::milliseconds(0));
  ~MemoryMonitor();
  MemoryMonitor(const MemoryMonitor&) = delete;
  MemoryMonitor& operator=(const MemoryMonitor&) = delete;

 private:
  void Run();

  MemoryMailbox& shared_;
  SimulatedPrinter& printer_;
  std::chrono::milliseconds answerDelay_;
  bool ended_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace rovant::sim
