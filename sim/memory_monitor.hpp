// The language monitor's side of an in-process mailbox, answering every
// command through a simulated printer from a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "connection/memory_mailbox_platform.hpp"
#include "sim/monitor_loop.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

// The in-process block seen from the monitor's thread.
class MemoryMonitorChannel final : public MonitorChannel {
 public:
  explicit MemoryMonitorChannel(MemoryMailbox& shared) : shared_(shared) {}
  bool CopyOut(MailboxBlock& block) override;
  bool CopyIn(const MailboxBlock& block) override;

 private:
  MemoryMailbox& shared_;
};

class MemoryMonitor {
 public:
  // `answerDelay` holds each answer back, as a printer that takes its time.
  MemoryMonitor(MemoryMailbox& shared, SimulatedPrinter& printer,
                std::chrono::milliseconds answerDelay = std::chrono::milliseconds(0),
                MonitorFaults faults = {});
  ~MemoryMonitor();
  MemoryMonitor(const MemoryMonitor&) = delete;
  MemoryMonitor& operator=(const MemoryMonitor&) = delete;

 private:
  void Run();

  MemoryMonitorChannel channel_;
  MonitorLoop loop_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace rovant::sim
