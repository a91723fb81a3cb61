// The reply parser as a read meets it: a reply buffer that holds old bytes
// past the reply's length, a length that may claim more than the buffer, and
// a staging record that starts out as anything. No read outside the buffer; a
// match starts below the length, so only a line's worth of bytes past it can
// count (a line that starts inside may run past it); a length beyond the
// buffer is the buffer; an accepted reply leaves every value inside its list.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/read_context.hpp"
#include "protocol/reply_parser.hpp"

namespace {

using namespace rovant;

bool Same(const ParsedReply& a, const ParsedReply& b) {
  return a.result == b.result && a.settingsSeen == b.settingsSeen && a.staging == b.staging &&
         a.reportedCodes == b.reportedCodes && a.connectedModel == b.connectedModel;
}

}  // namespace

// Input: mode, model, connected model, two length bytes, 87 staging bytes,
// then the buffer's bytes (the rest of the buffer is filled with 'X', never 0).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = 5 + kItemCount;
  if (size < kHeader) return 0;
  const auto [mode, model, before] = fuzz::ReadContextOf(data);
  // Up to 8191: about half the lengths claim more than the buffer holds.
  const std::size_t length = (static_cast<std::size_t>(data[3]) << 8U | data[4]) % 8192;
  SettingsRecord staging{};
  std::memcpy(staging.data(), data + 5, kItemCount);
  data += kHeader;
  size -= kHeader;

  ReplyBuffer reply{};
  reply.fill('X');
  std::copy_n(data, std::min(size, reply.size()), reply.begin());
  const ParsedReply parsed = ParseReply(reply, length, mode, model, before, staging);

  // The same reply with zeros from one line past its length, and with its true length.
  constexpr std::size_t kLine = 27;
  const std::size_t used = std::min(length, reply.size());
  ReplyBuffer clean = reply;
  std::fill(clean.begin() + static_cast<std::ptrdiff_t>(std::min(used + kLine, clean.size())),
            clean.end(), '\0');
  if (!Same(parsed, ParseReply(clean, used, mode, model, before, staging))) std::abort();

  if (parsed.result == ReadResult::kDone && !fuzz::AllInLists(parsed.staging)) std::abort();
  if (mode != ReadMode::kStartUp && parsed.connectedModel != before) std::abort();
  return 0;
}
