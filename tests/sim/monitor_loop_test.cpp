// The language monitor's stand-in: what it answers, what it passes on to the
// printer, and each of its own faults, over a block in memory.
#include "sim/monitor_loop.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"

namespace rovant::sim {
namespace {

class BlockChannel final : public MonitorChannel {
 public:
  bool CopyOut(MailboxBlock& out) override {
    ++copiesOut;
    if (!available) return false;
    out = block;
    return true;
  }
  bool CopyIn(const MailboxBlock& in) override {
    ++copiesIn;
    if (!available) return false;
    block = in;
    return true;
  }
  // What the program's side writes: a command with its data, status pending.
  void Put(std::uint32_t command, std::string_view data = {}) {
    block.set_command(command);
    if (!data.empty()) std::memcpy(block.data().data(), data.data(), data.size());
    block.set_length(static_cast<std::uint32_t>(data.size()));
    block.set_status(kMailboxPending);
  }
  [[nodiscard]] std::string Reply() const {
    return std::string(reinterpret_cast<const char*>(block.data().data()), block.length());
  }

  MailboxBlock block;
  bool available = true;
  int copiesOut = 0;
  int copiesIn = 0;
};

class MonitorLoopTest : public ::testing::Test {
 protected:
  // One job as a read makes it: online sequence, query, receive, end.
  void ReadJob(MonitorLoop& loop) {
    channel.block.Clear();
    channel.Put(kMailboxSend, wire::kOnlineSequence);
    loop.Step();
    channel.Put(kMailboxSend, wire::kQuerySettings);
    loop.Step();
    channel.Put(kMailboxReceive);
    loop.Step();
  }

  BlockChannel channel;
  SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
};

TEST_F(MonitorLoopTest, AnswersSendsAndHandsTheReplyBack) {
  MonitorLoop loop(channel, printer);
  ReadJob(loop);
  EXPECT_EQ(channel.block.status(), kMailboxDone);
  EXPECT_EQ(channel.block.command(), kMailboxReceive);
  EXPECT_NE(channel.Reply().find("?NVRAM"), std::string::npos);
  EXPECT_GT(channel.block.length(), 1000u);
  EXPECT_EQ(loop.exchanges(), 3);
}

TEST_F(MonitorLoopTest, LeavesAnsweredAndIdleBlocksAlone) {
  MonitorLoop loop(channel, printer);
  EXPECT_EQ(loop.Step(), MonitorEvent::kNothing);  // all zero: a new job, nothing asked
  channel.Put(kMailboxSend, wire::kOnlineSequence);
  channel.block.set_status(kMailboxDone);
  EXPECT_EQ(loop.Step(), MonitorEvent::kNothing);
  EXPECT_EQ(channel.copiesIn, 0);
  EXPECT_EQ(loop.exchanges(), 0);
}

TEST_F(MonitorLoopTest, EndOfJobIsPassedOnOncePerJob) {
  MonitorLoop loop(channel, printer);
  ReadJob(loop);
  channel.block.set_command(kMailboxEndOfJob);  // status 2 stays, as the program leaves it
  EXPECT_EQ(loop.Step(), MonitorEvent::kJobEnded);
  EXPECT_EQ(loop.Step(), MonitorEvent::kNothing);
  EXPECT_EQ(loop.Step(), MonitorEvent::kNothing);
  EXPECT_EQ(loop.jobsEnded(), 1);
  // The printer left its setup state: a new job starts with the online sequence again.
  ReadJob(loop);
  EXPECT_EQ(channel.block.status(), kMailboxDone);
  channel.block.set_command(kMailboxEndOfJob);
  EXPECT_EQ(loop.Step(), MonitorEvent::kJobEnded);
  EXPECT_EQ(loop.jobsEnded(), 2);
}

// A factory default as one job: online sequence, DEFAULT, save and exit, end.
SettingsRecord AfterDefaultJob(MonitorFaults faults) {
  SettingsRecord changed = kFactoryDefaults;
  changed[3] = 5;
  SimulatedPrinter printer(ModelCode::kHx320, changed);
  BlockChannel channel;
  MonitorLoop loop(channel, printer, faults);
  std::vector<std::uint32_t> statuses;
  for (const std::string_view send : {wire::kOnlineSequence, wire::kDefault, wire::kSaveExit}) {
    channel.Put(kMailboxSend, send);
    loop.Step();
    statuses.push_back(channel.block.status());
  }
  channel.block.set_command(kMailboxEndOfJob);
  loop.Step();
  const std::vector<std::uint32_t> expected = faults.failExchange == 2
                                                  ? std::vector<std::uint32_t>{2, 1, 2}
                                                  : std::vector<std::uint32_t>{2, 2, 2};
  EXPECT_EQ(statuses, expected);
  return printer.memory();
}

TEST(MonitorLoopFaults, ChosenExchangeFailsAndNeverReachesThePrinter) {
  EXPECT_EQ(AfterDefaultJob({}), kFactoryDefaults);
  EXPECT_EQ(AfterDefaultJob(MonitorFaults{.failExchange = 2})[3], 5);
}

TEST_F(MonitorLoopTest, SilentMonitorNeverAnswersAndCountsEachCommandOnce) {
  MonitorLoop loop(channel, printer, MonitorFaults{.silent = true});
  channel.Put(kMailboxSend, wire::kOnlineSequence);
  EXPECT_EQ(loop.Step(), MonitorEvent::kIgnored);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(loop.Step(), MonitorEvent::kNothing);
  EXPECT_EQ(channel.block.status(), kMailboxPending);
  EXPECT_EQ(channel.copiesIn, 0);
  EXPECT_EQ(loop.exchanges(), 1);
}

TEST_F(MonitorLoopTest, StrangeStatusAnswersEveryCommand) {
  MonitorLoop loop(channel, printer, MonitorFaults{.strangeStatus = true});
  channel.Put(kMailboxSend, wire::kOnlineSequence);
  loop.Step();
  EXPECT_EQ(channel.block.status(), kMonitorStrangeStatus);
  channel.Put(kMailboxReceive);
  loop.Step();
  EXPECT_EQ(channel.block.status(), kMonitorStrangeStatus);
  EXPECT_EQ(channel.block.length(), 0u);
}

TEST_F(MonitorLoopTest, MissingBlockChangesNothing) {
  MonitorLoop loop(channel, printer);
  channel.Put(kMailboxSend, wire::kOnlineSequence);
  channel.available = false;
  EXPECT_EQ(loop.Step(), MonitorEvent::kNoBlock);
  channel.available = true;
  EXPECT_EQ(channel.block.status(), kMailboxPending);
  EXPECT_EQ(loop.exchanges(), 0);
  EXPECT_EQ(loop.Step(), MonitorEvent::kAnswered);
}

TEST_F(MonitorLoopTest, RefusedSendIsReportedAsFailed) {
  printer.faults().switchedOff = true;
  MonitorLoop loop(channel, printer);
  channel.Put(kMailboxSend, wire::kOnlineSequence);
  loop.Step();
  EXPECT_EQ(channel.block.status(), kMailboxFailed);
}

}  // namespace
}  // namespace rovant::sim
