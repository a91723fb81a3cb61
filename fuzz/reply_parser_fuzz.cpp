// Any bytes as a printer reply, in any read mode: no crash, no read outside the reply buffer, and
// what CheckParsed says of every parse.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/read_context.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  if (size < fuzz::kReadContextBytes) return 0;
  const fuzz::ReadContext context = fuzz::ReadContextOf(data);
  ReplyBuffer reply{};
  const std::size_t length = std::min(size - fuzz::kReadContextBytes, reply.size());
  std::copy_n(data + fuzz::kReadContextBytes, length, reply.begin());
  fuzz::CheckParsed(ParseReply(reply, length, context.mode, context.model, context.connectedBefore,
                               kFactoryDefaults),
                    context);
  return 0;
}
