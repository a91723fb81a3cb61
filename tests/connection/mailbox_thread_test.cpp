// The mailbox between two threads, as between the program and the language
// monitor: a monitor thread answers every command through the simulated
// printer, and the read and write operations run over the mailbox link.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/memory_monitor.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"

namespace rovant {
namespace {

class MailboxBetweenThreads : public testing::OperationTest {
 protected:
  MemoryMailbox shared;
  MemoryMailboxPlatform platform{shared};
  SteadyClock steady;
  ReplyMailbox mailbox{platform, steady};
  MailboxLink mailboxLink{mailbox};
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  PrinterOperationContext viaMailbox{state, mailboxLink, clock, host, cursor, boxes, pages};
};

TEST_F(MailboxBetweenThreads, TransferThenReadThroughTheMonitor) {
  const sim::MemoryMonitor monitor(shared, printer);
  state.settings[3] = 5;
  state.settings[79] = 1;
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  EXPECT_EQ(printer.memory()[3], 5);
  EXPECT_EQ(printer.memory()[79], 1);
  EXPECT_EQ(platform.jobs, 1);

  state.settings = {};
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kStartUp, testing::kOwner, viaMailbox),
            ReadResult::kDone);
  EXPECT_EQ(state.settings, printer.memory());
  EXPECT_EQ(state.connectedModel, 19);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MailboxBetweenThreads, FactoryDefaultAndListPrinting) {
  const sim::MemoryMonitor monitor(shared, printer);
  state.settings[60] = 9;
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  ASSERT_EQ(WritePrinterSettings(WriteMode::kFactoryDefault, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  EXPECT_EQ(printer.memory(), kFactoryDefaults);
  ASSERT_EQ(WritePrinterSettings(WriteMode::kListPrint, testing::kOwner, viaMailbox),
            WriteResult::kDone);
  EXPECT_NE(printer.paper().find("CNT-ORG"), std::string::npos);
}

TEST_F(MailboxBetweenThreads, MonitorReportingFailureGivesTheNoResponsePath) {
  const sim::MemoryMonitor monitor(shared, printer);
  printer.faults().switchedOff = true;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, testing::kOwner, viaMailbox), ReadResult::kFailed);
  EXPECT_TRUE(boxes.shown.empty()) << "the caller reports the silent printer";
}

}  // namespace
}  // namespace rovant
