// The simulator behind the printer link interface: a slow answer waits on the link's clock.
#include "sim/simulator_link.hpp"

#include <gtest/gtest.h>

#include "model/catalogue.hpp"
#include "tests/fakes/fake_printer.hpp"

namespace rovant::sim {
namespace {

using Calls = std::vector<std::string>;

TEST(SimLink, SleepsExactlyTheSlowAnswerThroughTheClock) {
  for (const unsigned slow : {0u, 1u, 2500u}) {
    SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
    printer.faults().slowAnswerMs = slow;
    rovant::testing::CallLog log;
    rovant::testing::FakeClock clock(log);
    SimulatorLink link(printer, clock);
    std::array<char, 4096> reply{};
    std::size_t length = 0;
    ASSERT_TRUE(link.Receive(reply, length));
    ASSERT_TRUE(link.Receive(reply, length));
    const std::string sleep = "sleep " + std::to_string(slow);
    EXPECT_EQ(log.calls, slow == 0 ? Calls() : Calls({sleep, sleep}));
  }
}

}  // namespace
}  // namespace rovant::sim
