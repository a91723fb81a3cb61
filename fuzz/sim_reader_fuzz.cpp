// Any bytes as a session's sends to the simulated printer, split anywhere: no crash, its memory and
// settings always in their lists, and every reply it gives parses as a read would, without a bad
// value.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/read_context.hpp"
#include "protocol/command_strings.hpp"
#include "sim/simulated_printer.hpp"

namespace {

using namespace rovant;

void CheckReply(sim::SimulatedPrinter& printer) {
  ReplyBuffer reply{};
  std::size_t length = 0;
  if (!printer.Reply(reply, length)) std::abort();
  if (length > reply.size()) std::abort();
  // A reply cut at the buffer's end may end in the middle of a line.
  if (length == 0 || length == reply.size()) return;
  const ParsedReply parsed =
      ParseReply(reply, length, ReadMode::kRead, printer.model(), 0, kFactoryDefaults);
  if (parsed.settingsSeen && (parsed.result != ReadResult::kDone || !parsed.reportedCodes.empty()))
    std::abort();
}

}  // namespace

// The first byte chooses the model; then each byte b starts a piece: b % 4 == 0 sends the online
// sequence, == 1 ends the session, otherwise the next b / 4 bytes are one send.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  sim::SimulatedPrinter printer(data[0] % 2 == 0 ? ModelCode::kHx320 : ModelCode::kHx310,
                                kFactoryDefaults);
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  while (!rest.empty()) {
    const auto piece = static_cast<std::uint8_t>(rest.front());
    rest.remove_prefix(1);
    if (piece % 4 == 0) {
      if (!printer.Accept(wire::kOnlineSequence)) std::abort();
    } else if (piece % 4 == 1) {
      printer.EndSession();
    } else {
      const std::string_view send = rest.substr(0, piece / 4U);
      rest.remove_prefix(send.size());
      if (!printer.Accept(send)) std::abort();
    }
    if (!fuzz::AllInLists(printer.current()) || !fuzz::AllInLists(printer.memory())) std::abort();
    if (printer.HasReply()) CheckReply(printer);
    if (printer.paper().size() > sim::kPaperLimit) std::abort();
  }
  return 0;
}
