#include "sim/simulator_link.hpp"

#include <type_traits>

namespace rovant::sim {

// The link's reply buffer is exactly the printer's reply limit, so the
// printer can never write past it.
static_assert(std::is_same_v<std::array<char, 4096>, std::array<char, kReplyLimit>>);

bool SimulatorLink::Receive(std::array<char, 4096>& reply, std::size_t& length) {
  const unsigned wait = printer_.faults().slowAnswerMs;
  if (wait != 0) clock_.SleepMs(wait);
  return printer_.Reply(reply, length);
}

}  // namespace rovant::sim
