// The simulator behind the printer link interface.
#include "sim/simulator_link.hpp"

#include <gtest/gtest.h>

#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using testing::FakeClock;

TEST(SimLink, PassesEveryCallToThePrinter) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  FakeClock clock;
  SimulatorLink link(printer, clock);
  for (const LinkRoute route : {LinkRoute::kLan, LinkRoute::kSpoolerSession}) {
    const LinkOpening opening = link.Open(route);
    EXPECT_TRUE(opening.open);
    EXPECT_EQ(opening.message, "");
  }
  EXPECT_TRUE(link.Send(wire::kOnlineSequence));
  EXPECT_TRUE(printer.inSetup());
  EXPECT_TRUE(link.Send("?VER    \r"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(std::string(reply.data(), length), "?VER    :1.02   \r\n");
  EXPECT_EQ(clock.calls, 0) << "no wait without the slow-answer fault";
  link.Close();
  EXPECT_FALSE(printer.inSetup());
  EXPECT_EQ(link.LastError(), "");
}

TEST(SimLink, SwitchedOffPrinterFailsSendAndReceive) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().switchedOff = true;
  FakeClock clock;
  SimulatorLink link(printer, clock);
  EXPECT_FALSE(link.Send(wire::kOnlineSequence));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link.Receive(reply, length));
}

class SimLinkSlow : public ::testing::TestWithParam<unsigned> {};

TEST_P(SimLinkSlow, SleepsExactlyTheSlowAnswerThroughTheClock) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().slowAnswerMs = GetParam();
  FakeClock clock;
  SimulatorLink link(printer, clock);
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length));
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(clock.calls, GetParam() == 0 ? 0 : 2);
  EXPECT_EQ(clock.totalMs, 2ul * GetParam());
}

INSTANTIATE_TEST_SUITE_P(Waits, SimLinkSlow, ::testing::Values(0u, 1u, 2500u));

TEST(SimLink, NeverMoreThan4096Bytes) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  printer.faults().oversizeReply = true;
  FakeClock clock;
  SimulatorLink link(printer, clock);
  ASSERT_TRUE(link.Send(wire::kOnlineSequence));
  // Many answers: the printer holds far more than one buffer.
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(link.Send(wire::kQuerySettings.substr(0, 9)));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(length, reply.size());
  EXPECT_EQ(std::string(reply.data(), 9), "?NVRAM  :");
}

}  // namespace
}  // namespace rovant::sim
