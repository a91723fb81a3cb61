// What the simulator tests share: random valid records and whole sessions.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant::sim::testing {

using rovant::testing::RandomRecord;

// Collects the reply; fails the test when the printer gives none.
inline std::string Collect(SimulatedPrinter& printer) {
  std::array<char, kReplyLimit> buffer{};
  std::size_t length = 0;
  EXPECT_TRUE(printer.Reply(buffer, length));
  return std::string(buffer.data(), length);
}

// The online sequence, then each send; returns the reply and ends the session.
inline std::string Session(SimulatedPrinter& printer,
                           std::initializer_list<std::string_view> sends) {
  EXPECT_TRUE(printer.Accept(wire::kOnlineSequence));
  for (const std::string_view send : sends) EXPECT_TRUE(printer.Accept(send));
  std::string reply = Collect(printer);
  printer.EndSession();
  return reply;
}

}  // namespace rovant::sim::testing
