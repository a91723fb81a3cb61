// The mailbox on Windows named objects: a monitor thread opens the same
// named mapping and mutex, as the language monitor does from the spooler.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "connection/mailbox_link.hpp"
#include "connection/mailbox_platform_win32.hpp"
#include "connection/reply_mailbox.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/monitor_channel_win32.hpp"
#include "sim/monitor_loop.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"

namespace rovant {
namespace {

MailboxNames TestNames() {
  const std::string id = "rovant-test-" + std::to_string(::GetCurrentProcessId());
  return {id + " MapFile", id + " MapFile Mutex"};
}

// The language monitor's side, on its own handles to the named objects, from
// a thread of its own (as the spooler's process would be).
class NamedMonitor {
 public:
  NamedMonitor(const MailboxNames& names, sim::SimulatedPrinter& printer,
               sim::MonitorFaults faults = {})
      : channel_(names), loop_(channel_, printer, faults), thread_([this] { Run(); }) {}
  ~NamedMonitor() {
    stop_ = true;
    thread_.join();
  }
  [[nodiscard]] int jobsEnded() const { return jobs_; }

 private:
  void Run() {
    while (!stop_) {
      if (channel_.Map() && loop_.Step() == sim::MonitorEvent::kJobEnded) ++jobs_;
      ::Sleep(2);
    }
  }
  sim::Win32MonitorChannel channel_;
  sim::MonitorLoop loop_;
  std::atomic<int> jobs_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class NamedMailbox : public testing::OperationTest {
 protected:
  MailboxNames names = TestNames();
  Win32MailboxPlatform platform{names};
  SteadyClock sleeper;
  ReplyMailbox mailbox{platform, sleeper};
  MailboxLink mailboxLink{mailbox};
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  PrinterOperationContext viaMailbox{state, mailboxLink, clock, host, cursor, boxes, pages};
};

TEST_F(NamedMailbox, TransferAndReadThroughNamedObjects) {
  platform.SetPrinter("No Such Printer", {}, true);  // the job goes nowhere; the monitor answers
  ASSERT_TRUE(mailbox.Open());
  const NamedMonitor monitor(names, printer);
  state.settings[3] = 5;
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  EXPECT_EQ(printer.memory()[3], 5);
  state.settings = {};
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kStartUp, testing::kOwner, viaMailbox),
            ReadResult::kDone);
  EXPECT_EQ(state.settings, printer.memory());
}

TEST_F(NamedMailbox, AbandonedMutexIsTakenOver) {
  ASSERT_TRUE(mailbox.Open());
  std::thread holder([this] {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, names.mutex.c_str());
    ::WaitForSingleObject(mutex, INFINITE);
    // The thread ends holding it: the mutex is abandoned.
  });
  holder.join();
  const NamedMonitor monitor(names, printer);
  EXPECT_EQ(mailboxLink.Send(wire::kOnlineSequence), true);
}

TEST_F(NamedMailbox, EveryJobEndIsPassedOnOnce) {
  platform.SetPrinter("No Such Printer", {}, true);
  ASSERT_TRUE(mailbox.Open());
  const NamedMonitor monitor(names, printer);
  ASSERT_EQ(WritePrinterSettings(WriteMode::kListPrint, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  ::Sleep(100);  // the operations' own waits are not real here: let the monitor see the end
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kStartUp, testing::kOwner, viaMailbox),
            ReadResult::kDone);
  ::Sleep(100);
  EXPECT_EQ(monitor.jobsEnded(), 2);
  EXPECT_NE(printer.paper().find("MENU1"), std::string::npos);
}

TEST_F(NamedMailbox, MonitorRefusingAnExchangeFailsIt) {
  ASSERT_TRUE(mailbox.Open());
  const NamedMonitor monitor(names, printer, sim::MonitorFaults{.failExchange = 2});
  EXPECT_TRUE(mailboxLink.Send(wire::kOnlineSequence));
  EXPECT_FALSE(mailboxLink.Send(wire::kQuerySettings));
}

TEST_F(NamedMailbox, FailedStatusFailsTheSend) {
  ASSERT_TRUE(mailbox.Open());
  printer.faults().switchedOff = true;
  const NamedMonitor monitor(names, printer);
  EXPECT_FALSE(mailboxLink.Send(wire::kOnlineSequence));
}

}  // namespace
}  // namespace rovant
