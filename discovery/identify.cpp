#include "discovery/identify.hpp"

#include <cctype>

namespace rovant::discovery {
namespace {

bool IsWordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// Whether `name` appears in `text` (any case) with no letter or digit either side.
bool NamesWord(std::string_view text, std::string_view name) {
  for (std::size_t at = 0; at + name.size() <= text.size(); ++at) {
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      same = std::toupper(static_cast<unsigned char>(text[at + i])) == name[i];
    }
    if (!same) continue;
    const bool startsWord = at == 0 || !IsWordCharacter(text[at - 1]);
    const bool endsWord =
        at + name.size() == text.size() || !IsWordCharacter(text[at + name.size()]);
    if (startsWord && endsWord) return true;
  }
  return false;
}

}  // namespace

std::optional<ModelCode> ModelNamedIn(std::string_view description) {
  const bool hx310 = NamesWord(description, "HX310");
  const bool hx320 = NamesWord(description, "HX320");
  if (hx310 == hx320) return std::nullopt;
  return hx310 ? ModelCode::kHx310 : ModelCode::kHx320;
}

std::optional<ModelCode> IdentifyPrinter(std::string_view sysDescr, std::string_view deviceDescr) {
  const std::optional<ModelCode> bySystem = ModelNamedIn(sysDescr);
  const std::optional<ModelCode> byDevice = ModelNamedIn(deviceDescr);
  if (byDevice) {
    if (bySystem && *bySystem != *byDevice) return std::nullopt;
    return byDevice;
  }
  // A device description that names something else outweighs the system's.
  if (!deviceDescr.empty()) return std::nullopt;
  return bySystem;
}

}  // namespace rovant::discovery
