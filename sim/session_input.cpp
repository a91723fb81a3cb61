#include "sim/session_input.hpp"

#include "protocol/command_strings.hpp"

namespace rovant::sim {

std::vector<std::string_view> SplitSends(std::string_view input) {
  std::vector<std::string_view> sends;
  while (!input.empty()) {
    const std::size_t online = input.find(wire::kOnlineSequence);
    if (online == std::string_view::npos) {
      sends.push_back(input);
      break;
    }
    if (online > 0) sends.push_back(input.substr(0, online));
    sends.push_back(input.substr(online, wire::kOnlineSequence.size()));
    input.remove_prefix(online + wire::kOnlineSequence.size());
  }
  return sends;
}

SessionOutcome RunSession(SimulatedPrinter& printer, std::string_view input) {
  SessionOutcome outcome;
  for (const std::string_view send : SplitSends(input)) {
    if (!printer.Accept(send)) ++outcome.refusedSends;
  }
  std::array<char, kReplyLimit> reply{};
  std::size_t length = 0;
  outcome.received = printer.Reply(reply, length);
  outcome.reply.assign(reply.data(), length);
  printer.EndSession();
  return outcome;
}

}  // namespace rovant::sim
