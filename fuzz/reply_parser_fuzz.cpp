// Any bytes as a printer reply, in any read mode: no crash, no read outside
// the reply buffer, and an accepted reply always leaves a record whose every
// value lies in its list in force.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/read_context.hpp"
#include "protocol/item_codes.hpp"
#include "protocol/reply_parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  if (size < fuzz::kReadContextBytes) return 0;
  const auto [mode, model, before] = fuzz::ReadContextOf(data);
  data += fuzz::kReadContextBytes;
  size -= fuzz::kReadContextBytes;

  ReplyBuffer reply{};
  const std::size_t length = std::min(size, reply.size());
  std::copy_n(data, length, reply.begin());
  const ParsedReply parsed = ParseReply(reply, length, mode, model, before, kFactoryDefaults);

  for (const int code : parsed.reportedCodes) {
    if (!IsItemCode(code)) std::abort();
  }
  // Reports come only from a settings section.
  if (parsed.result == ReadResult::kDone ? !fuzz::AllInLists(parsed.staging)
                                         : !parsed.reportedCodes.empty())
    std::abort();
  if (mode != ReadMode::kStartUp && parsed.connectedModel != before) std::abort();
  return 0;
}
