// The language monitor's side of the reply mailbox, as our stand-in plays it:
// each pending send or receive is answered through a simulated printer, the
// end of a job is passed on once, and a monitor's own faults can be chosen.
#pragma once

#include <chrono>
#include <cstdint>

#include "connection/mailbox_block.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

// The monitor's view of the shared block: whole-block copies under the lock.
class MonitorChannel {
 public:
  virtual ~MonitorChannel() = default;
  // False when the block is not there yet or the lock could not be had.
  virtual bool CopyOut(MailboxBlock& block) = 0;
  virtual bool CopyIn(const MailboxBlock& block) = 0;
};

struct MonitorFaults {
  int failExchange = 0;        // answer the N-th send or receive (from 1) with status 1
  bool silent = false;         // never answer
  bool strangeStatus = false;  // answer every send and receive with status 3
};

inline constexpr std::uint32_t kMonitorStrangeStatus = 3;

// Answers a pending send or receive in the block as a language monitor does,
// through the printer: the status, and for a receive the reply and its length.
void AnswerCommand(MailboxBlock& block, SimulatedPrinter& printer);

enum class MonitorEvent { kNothing, kAnswered, kIgnored, kJobEnded, kNoBlock };

class MonitorLoop {
 public:
  MonitorLoop(MonitorChannel& channel, SimulatedPrinter& printer, MonitorFaults faults = {},
              std::chrono::milliseconds answerDelay = std::chrono::milliseconds(0))
      : channel_(channel), printer_(printer), faults_(faults), answerDelay_(answerDelay) {}

  // One look at the block, answering what waits there.
  MonitorEvent Step();

  // Sends and receives seen so far, and jobs that ended.
  [[nodiscard]] int exchanges() const { return exchanges_; }
  [[nodiscard]] int jobsEnded() const { return jobsEnded_; }

 private:
  MonitorChannel& channel_;
  SimulatedPrinter& printer_;
  MonitorFaults faults_;
  std::chrono::milliseconds answerDelay_;
  int exchanges_ = 0;
  int jobsEnded_ = 0;
  bool ended_ = false;     // the end-of-job command now in the block was passed on
  bool ignoring_ = false;  // a silent monitor saw the pending command already
};

}  // namespace rovant::sim
