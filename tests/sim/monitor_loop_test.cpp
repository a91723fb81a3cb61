// The language monitor's stand-in: what it answers, what it passes on to the
// printer, and each of its own faults, over a block in memory.
#include "sim/monitor_loop.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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
    if (available) out = block;
    return available;
  }
  bool CopyIn(const MailboxBlock& in) override {
    ++copiesIn;
    if (available) block = in;
    return available;
  }
  MailboxBlock block;
  bool available = true;
  int copiesIn = 0;
};

constexpr std::uint32_t kKeep = 0xFFFFFFFF;

// One look of the monitor after the program wrote `command` with `data`
// (status pending). kKeep: the program wrote nothing; the end of a job: the
// command only, the status left as it was. Steps told kNoBlock find no block.
struct Step {
  std::uint32_t command;
  std::string_view data;
  MonitorEvent event;
  std::uint32_t status;    // in the block after the look
  std::string_view reply;  // the block's data begins with it
};

struct LoopCase {
  const char* name;
  MonitorFaults faults;
  bool switchedOff;
  int exchanges;
  int jobsEnded;
  bool defaulted;  // the printer's memory holds the factory defaults afterwards
  std::vector<Step> steps;
};
LoopCase Case(const char* name, MonitorFaults faults, bool switchedOff, int exchanges,
              int jobsEnded, bool defaulted, std::vector<Step> steps) {
  return {name, faults, switchedOff, exchanges, jobsEnded, defaulted, std::move(steps)};
}
Step S(std::uint32_t command, std::string_view data, MonitorEvent event, std::uint32_t status,
       std::string_view reply = {}) {
  return {command, data, event, status, reply};
}

using enum MonitorEvent;
constexpr std::uint32_t kPending = kMailboxPending, kDone = kMailboxDone, kFailed = kMailboxFailed;
constexpr std::uint32_t kSend = kMailboxSend, kReceive = kMailboxReceive, kEnd = kMailboxEndOfJob;
constexpr std::string_view kOnline = wire::kOnlineSequence, kNone;

const LoopCase kCases[] = {
    Case("a read job gets the settings back", {}, false, 3, 0, false,
         {S(kSend, kOnline, kAnswered, kDone), S(kSend, wire::kQuerySettings, kAnswered, kDone),
          S(kReceive, kNone, kAnswered, kDone, "?NVRAM  :MENU1   :EMULATE :")}),
    Case("a new block and an answered one are left alone", {}, false, 1, 0, false,
         {S(kKeep, kNone, kNothing, 0), S(kSend, kOnline, kAnswered, kDone),
          S(kKeep, kNone, kNothing, kDone)}),
    Case("the end of a job is passed on once per job", {}, false, 3, 2, false,
         {S(kSend, kOnline, kAnswered, kDone), S(kEnd, kNone, kJobEnded, kDone),
          S(kKeep, kNone, kNothing, kDone), S(kKeep, kNone, kNothing, kDone),
          S(kSend, kOnline, kAnswered, kDone), S(kSend, wire::kDefault, kAnswered, kDone),
          S(kEnd, kNone, kJobEnded, kDone)}),
    Case("a factory default job reaches the printer", {}, false, 3, 1, true,
         {S(kSend, kOnline, kAnswered, kDone), S(kSend, wire::kDefault, kAnswered, kDone),
          S(kSend, wire::kSaveExit, kAnswered, kDone), S(kEnd, kNone, kJobEnded, kDone)}),
    Case("the chosen exchange fails and never reaches the printer", {.failExchange = 2}, false, 3,
         1, false,
         {S(kSend, kOnline, kAnswered, kDone), S(kSend, wire::kDefault, kAnswered, kFailed),
          S(kSend, wire::kSaveExit, kAnswered, kDone), S(kEnd, kNone, kJobEnded, kDone)}),
    Case("a silent monitor never answers and counts each command once", {.silent = true}, false, 1,
         0, false,
         {S(kSend, kOnline, kIgnored, kPending), S(kKeep, kNone, kNothing, kPending),
          S(kKeep, kNone, kNothing, kPending)}),
    Case("a strange status answers every command", {.strangeStatus = true}, false, 2, 0, false,
         {S(kSend, kOnline, kAnswered, kMonitorStrangeStatus),
          S(kReceive, kNone, kAnswered, kMonitorStrangeStatus)}),
    Case("a missing block changes nothing", {}, false, 1, 0, false,
         {S(kSend, kOnline, kNoBlock, kPending), S(kKeep, kNone, kAnswered, kDone)}),
    Case("a send the printer refuses is reported failed", {}, true, 1, 0, false,
         {S(kSend, kOnline, kAnswered, kFailed)}),
};

TEST(MonitorLoop, StepsAsTheTableSays) {
  for (const LoopCase& c : kCases) {
    SCOPED_TRACE(c.name);
    SettingsRecord changed = kFactoryDefaults;
    changed[3] = 5;
    SimulatedPrinter printer(ModelCode::kHx320, changed);
    printer.faults().switchedOff = c.switchedOff;
    BlockChannel channel;
    MonitorLoop loop(channel, printer, c.faults);
    int answered = 0;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      if (step.command == kEnd) {
        channel.block.set_command(kEnd);
      } else if (step.command != kKeep) {
        channel.block.set_command(step.command);
        std::ranges::copy(step.data, reinterpret_cast<char*>(channel.block.data().data()));
        channel.block.set_length(static_cast<std::uint32_t>(step.data.size()));
        channel.block.set_status(kMailboxPending);
      }
      channel.available = step.event != kNoBlock;
      EXPECT_EQ(loop.Step(), step.event) << "step " << i;
      EXPECT_EQ(channel.block.status(), step.status) << "step " << i;
      const auto* data = reinterpret_cast<const char*>(channel.block.data().data());
      EXPECT_EQ(std::string_view(data, channel.block.length()).substr(0, step.reply.size()),
                step.reply)
          << "step " << i;
      channel.available = true;
      answered += step.event == kAnswered ? 1 : 0;
    }
    EXPECT_EQ(channel.copiesIn, answered) << "only answers are written back";
    EXPECT_EQ(loop.exchanges(), c.exchanges);
    EXPECT_EQ(loop.jobsEnded(), c.jobsEnded);
    EXPECT_EQ(printer.memory(), c.defaulted ? kFactoryDefaults : changed);
  }
}

}  // namespace
}  // namespace rovant::sim
