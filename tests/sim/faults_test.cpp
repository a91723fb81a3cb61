// Every fault the simulator can be told to play, over two sessions in a row, behind the printer
// link interface.
#include <gtest/gtest.h>

#include <type_traits>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "sim/settings_lines.hpp"
#include "sim/simulated_printer.hpp"
#include "sim/simulator_link.hpp"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant::sim {
namespace {

using namespace std::string_literals;

const SettingsRecord kStart = rovant::testing::WithChanges(kFactoryDefaults, "3=5");
const std::string kOnline(wire::kOnlineSequence);
const std::string kAll(wire::kQueryModelVersionSettings);
const std::string kVersion = "?VER    :1.02   \r\n";
const std::string kLines = SettingsLines(kStart, ModelCode::kHx320);
const std::string kClean = "?MODEL  :HX320  \r\n" + kVersion + "?NVRAM  :" + kLines;

std::string Garbled(std::string lines, std::initializer_list<std::string_view> heads) {
  for (const std::string_view head : heads) lines.replace(lines.find(head) + 18, 7, "???????");
  return lines;
}

struct FaultCase {
  const char* name;
  Faults faults;
  std::vector<std::string> sends;
  std::vector<bool> accepted;
  std::string reply;
  std::string junk;       // must occur in the reply; the noise is taken out before comparing
  std::size_t replySize;  // else: the reply only begins with `reply`
  bool replied;
};

FaultCase F(const char* name, Faults faults, std::vector<std::string> sends,
            std::vector<bool> accepted, std::string reply, std::string junk = {},
            std::size_t replySize = 0, bool replied = true) {
  return {name, faults, sends, accepted, reply, junk, replySize, replied};
}

// Faults with one of them set.
template <typename T>
Faults With(T Faults::*fault, std::type_identity_t<T> value) {
  Faults faults;
  faults.*fault = std::move(value);
  return faults;
}

// name, fault, sends, whether each is accepted, reply[, junk, reply size, replied]
const FaultCase kCases[] = {
    F("switched off refuses everything", With(&Faults::switchedOff, true), {kOnline, "?MODEL  \r"},
      {false, false}, "", {}, 0, false),
    F("the refused send is the n-th of each session and takes nothing",
      With(&Faults::refuseSend, 2),
      {kOnline, std::string(wire::kDefault), "?VER    \r", "?VER    \r"}, {true, false, true, true},
      kVersion + kVersion),
    F("a refused online sequence leaves the printer out of setup", With(&Faults::refuseSend, 1),
      {kOnline, "?VER    \r"}, {false, true}, ""),
    F("reported model", With(&Faults::reportedModel, ModelCode::kHx310), {kOnline, "?MODEL  \r"},
      {true, true}, "?MODEL  :HX310  \r\n"),
    F("bad values garbled", With(&Faults::badValues, {3, 42}), {kOnline, "?NVRAM  \r"},
      {true, true}, "?NVRAM  :" + Garbled(kLines, {"MENU1   :PITCH   :", "MENU2   :ZEROFNT :"})),
    F("an item dropped on save", With(&Faults::dropOnSave, {3}),
      {kOnline, "MENU1  :PITCH  :15 CPI \r", std::string(wire::kSaveExit)}, {true, true, true}, ""),
    F("noise between lines only", With(&Faults::noise, true), {kOnline, kAll}, {true, true}, kClean,
      "\r\n"s + std::string(kNoise) + "MENU1   :FONT    :"),
    F("oversize reply cut at 4096", With(&Faults::oversizeReply, true), {kOnline, kAll},
      {true, true}, kClean, {}, kReplyLimit),
    F("oversize needs something to pad", With(&Faults::oversizeReply, true),
      {kOnline, std::string(wire::kSaveExit)}, {true, true}, ""),
    F("no settings marker", With(&Faults::noSettingsMarker, true), {kOnline, "?NVRAM  \r"},
      {true, true}, "?NVRM   :" + kLines),
    F("a slow answer", With(&Faults::slowAnswerMs, 500u), {kOnline, "?VER    \r"}, {true, true},
      kVersion)};

TEST(SimFaults, PlayAsTheTableSays) {
  for (const FaultCase& c : kCases) {
    SCOPED_TRACE(c.name);
    SimulatedPrinter printer(ModelCode::kHx320, kStart);
    printer.faults() = c.faults;
    rovant::testing::CallLog log;
    rovant::testing::FakeClock clock(log);
    SimulatorLink link(printer, clock);
    for (unsigned session = 0; session < 2; ++session) {
      for (std::size_t i = 0; i < c.sends.size(); ++i) {
        EXPECT_EQ(printer.Accept(c.sends[i]), c.accepted[i]) << "send " << i;
      }
      std::array<char, kReplyLimit> buffer{};
      std::size_t length = 7;
      EXPECT_EQ(link.Receive(buffer, length), c.replied);
      // A slow answer is slept through the link's clock, once a receive.
      EXPECT_EQ(log.calls.size(), c.faults.slowAnswerMs == 0 ? 0 : session + 1);
      EXPECT_EQ(clock.total, (session + 1) * c.faults.slowAnswerMs);
      std::string reply(buffer.data(), length);
      printer.EndSession();
      if (printer.faults().noise) {
        EXPECT_NE(reply.find(c.junk), std::string::npos);
        for (std::size_t at = reply.find(kNoise); at != std::string::npos; at = reply.find(kNoise))
          reply.erase(at, kNoise.size());
      }
      if (c.replySize != 0) {
        EXPECT_EQ(reply.size(), c.replySize);
        reply.resize(std::min(reply.size(), c.reply.size()));
      }
      EXPECT_EQ(reply, c.reply) << "session " << session;
      EXPECT_EQ(printer.current(), kStart);
      EXPECT_EQ(printer.memory(), kStart);
      EXPECT_EQ(printer.model(), ModelCode::kHx320);
    }
  }
}

}  // namespace
}  // namespace rovant::sim
