// One session of host sends taken from a byte stream (the simulator program's
// standard input): split into sends and handed to the printer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/simulated_printer.hpp"

namespace rovant::sim {

// Each online sequence is a send of its own; the bytes before, between and
// after them are one send each (empty stretches are left out).
std::vector<std::string_view> SplitSends(std::string_view input);

struct SessionOutcome {
  int refusedSends = 0;   // sends the printer did not take
  bool received = false;  // the reply could be collected
  std::string reply;      // at most 4096 bytes
};

// Sends every piece of `input`, collects the reply, and ends the session.
SessionOutcome RunSession(SimulatedPrinter& printer, std::string_view input);

}  // namespace rovant::sim
