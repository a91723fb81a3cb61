// The reply parser as a read meets it: a buffer that holds old bytes past the reply's length, a
// length that may claim more than the buffer, a staging record that starts out as anything. A
// match starts below the length, so only a line's worth of bytes past it can count; a length
// beyond the buffer is the buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/read_context.hpp"

// Input: mode, model, connected model, two length bytes, 87 staging bytes,
// then the buffer's bytes (the rest of the buffer is filled with 'X', never 0).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  constexpr std::size_t kHeader = 5 + kItemCount;
  if (size < kHeader) return 0;
  const fuzz::ReadContext context = fuzz::ReadContextOf(data);
  const auto [mode, model, before] = context;
  // Up to 8191: about half the lengths claim more than the buffer holds.
  const std::size_t length = (static_cast<std::size_t>(data[3]) << 8U | data[4]) % 8192;
  SettingsRecord staging{};
  std::memcpy(staging.data(), data + 5, kItemCount);
  ReplyBuffer reply{};
  reply.fill('X');
  std::copy_n(data + kHeader, std::min(size - kHeader, reply.size()), reply.begin());
  const ParsedReply parsed = ParseReply(reply, length, mode, model, before, staging);
  fuzz::CheckParsed(parsed, context);

  // The same reply with zeros from one line past its length, and with its true length.
  constexpr std::size_t kLine = 27;
  const std::size_t used = std::min(length, reply.size());
  ReplyBuffer clean = reply;
  std::fill(clean.begin() + static_cast<std::ptrdiff_t>(std::min(used + kLine, clean.size())),
            clean.end(), '\0');
  const ParsedReply same = ParseReply(clean, used, mode, model, before, staging);
  if (same.result != parsed.result || same.settingsSeen != parsed.settingsSeen ||
      same.staging != parsed.staging || same.reportedCodes != parsed.reportedCodes ||
      same.connectedModel != parsed.connectedModel)
    std::abort();
  return 0;
}
