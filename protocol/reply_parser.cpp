#include "protocol/reply_parser.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "model/catalogue.hpp"
#include "protocol/item_codes.hpp"

namespace rovant {
namespace {

constexpr std::string_view kModelMarker = "?MODEL  ";
constexpr std::string_view kSettingsMarker = "?NVRAM  ";
constexpr std::string_view kHx310 = "HX310  ";
constexpr std::string_view kHx320 = "HX320  ";
// Marker, block or item field, then one character not looked at.
constexpr std::size_t kFieldStep = 9;

// The reply buffer, with comparisons that never leave it: a comparison that
// would run past its end does not match.
class Scanner {
 public:
  Scanner(const ReplyBuffer& buffer, std::size_t length)
      : buffer_(buffer), length_(std::min(length, buffer.size())) {}

  [[nodiscard]] std::size_t length() const { return length_; }

  [[nodiscard]] bool Matches(std::size_t at, std::string_view text) const {
    if (at > buffer_.size() || buffer_.size() - at < text.size()) return false;
    // Most offsets differ at once: the scan steps through noise one byte at a time.
    if (!text.empty() && buffer_[at] != text.front()) return false;
    return std::memcmp(buffer_.data() + at, text.data(), text.size()) == 0;
  }
  // The first offset from `from` (below the reply's length) where `text` starts.
  [[nodiscard]] std::optional<std::size_t> Find(std::size_t from, std::string_view text) const {
    for (std::size_t at = from; at < length_; ++at) {
      if (Matches(at, text)) return at;
    }
    return std::nullopt;
  }

 private:
  const ReplyBuffer& buffer_;
  std::size_t length_;
};

// The reply names each item by its keyword followed by one blank.
bool MatchesItemField(const Scanner& scan, std::size_t at, ItemIndex item) {
  const std::string_view keyword = KeywordOf(item);
  return scan.Matches(at, keyword) && scan.Matches(at + keyword.size(), " ");
}

bool MatchesBlockField(const Scanner& scan, std::size_t at, const BlockInfo& block) {
  return scan.Matches(at, block.wireName) && scan.Matches(at + block.wireName.size(), " ");
}

// The scan of the settings section, from just after its marker to the end of
// the reply. The position moves exactly as the printer's reply layout asks
// (see the header); everything that is not a well-formed line is skipped.
void ScanSettings(const Scanner& scan, std::size_t p, SettingsRecord& staging,
                  std::vector<int>& reported) {
  while (p < scan.length()) {
    bool lineTaken = false;
    for (const BlockInfo& block : kBlocks) {
      // A bad value leaves p where the value was, and the next blocks are tried there: a line
      // may run past the reply's length, but none may start there (old bytes of the buffer).
      if (p >= scan.length() || !MatchesBlockField(scan, p, block)) continue;
      p += kFieldStep;
      for (const ItemIndex item : WireOrderOf(block.block)) {
        if (!IsRead(item) || !MatchesItemField(scan, p, item)) continue;
        p += kFieldStep;
        const OptionList list = ListInForce(item, staging);
        for (std::size_t i = 0; i < list.size(); ++i) {
          if (scan.Matches(p, list[i].view())) {
            staging[item] = static_cast<std::uint8_t>(i);
            p += kFieldStep;
            lineTaken = true;
            break;
          }
        }
        if (lineTaken) break;
        reported.push_back(ItemCodeOf(item));  // p stays at the bad value
      }
      if (lineTaken) break;
    }
    if (!lineTaken) ++p;
  }
}

// A value read before its block's EMULATE line was checked against the
// default emulation's list; one that the final emulation's list does not hold
// is reported and takes that emulation's reset value.
void SettleValuesOutsideTheirLists(SettingsRecord& staging, std::vector<int>& reported) {
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (IsInList(item, staging)) continue;
    reported.push_back(ItemCodeOf(item));
    const std::uint8_t emulation = std::min<std::uint8_t>(staging[EmulateItemOf(item)], kEscP2);
    staging[item] = kEmulationReset[emulation][kCatalogue[item].twin];
  }
}

}  // namespace

ParsedReply ParseReply(const ReplyBuffer& reply, std::size_t length, ReadMode mode,
                       ModelCode selected, int connectedModel, const SettingsRecord& staging) {
  const Scanner scan(reply, length);
  ParsedReply parsed;
  parsed.staging = staging;
  parsed.connectedModel = connectedModel;

  std::size_t settingsFrom = 0;
  if (mode == ReadMode::kStartUp) {
    const std::optional<std::size_t> model = scan.Find(0, kModelMarker);
    if (model) {
      const std::size_t value = *model + kFieldStep;
      if (scan.Matches(value, kHx310)) parsed.connectedModel = static_cast<int>(ModelCode::kHx310);
      if (scan.Matches(value, kHx320)) parsed.connectedModel = static_cast<int>(ModelCode::kHx320);
      if (parsed.connectedModel != static_cast<int>(selected)) {
        parsed.result = ReadResult::kOtherModel;
        return parsed;
      }
      settingsFrom = value;
    } else {
      settingsFrom = scan.length();  // nothing left to find
    }
  }

  const std::optional<std::size_t> marker = scan.Find(settingsFrom, kSettingsMarker);
  if (!marker) return parsed;

  parsed.settingsSeen = true;
  parsed.staging = kFactoryDefaults;
  ScanSettings(scan, *marker + kFieldStep, parsed.staging, parsed.reportedCodes);
  SettleValuesOutsideTheirLists(parsed.staging, parsed.reportedCodes);
  parsed.result = ReadResult::kDone;
  return parsed;
}

}  // namespace rovant
