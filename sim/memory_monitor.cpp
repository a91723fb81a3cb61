#include "sim/memory_monitor.hpp"

#include <cstring>
#include <mutex>

namespace rovant::sim {

bool MemoryMonitorChannel::CopyOut(MailboxBlock& block) {
  const std::lock_guard<std::timed_mutex> hold(shared_.mutex);
  std::memcpy(block.bytes().data(), shared_.block.data(), kMailboxBlockSize);
  return true;
}

bool MemoryMonitorChannel::CopyIn(const MailboxBlock& block) {
  const std::lock_guard<std::timed_mutex> hold(shared_.mutex);
  std::memcpy(shared_.block.data(), block.bytes().data(), kMailboxBlockSize);
  return true;
}

MemoryMonitor::MemoryMonitor(MemoryMailbox& shared, SimulatedPrinter& printer,
                             std::chrono::milliseconds answerDelay, MonitorFaults faults)
    : channel_(shared), loop_(channel_, printer, faults, answerDelay), thread_([this] { Run(); }) {}

MemoryMonitor::~MemoryMonitor() {
  stop_ = true;
  thread_.join();
}

void MemoryMonitor::Run() {
  while (!stop_) {
    loop_.Step();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace rovant::sim
