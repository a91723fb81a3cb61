// The printer models the program knows, by the codes the rest of the program uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rovant {

enum class ModelCode : std::uint8_t { kHx310 = 17, kHx320 = 19, kOther = 255 };

constexpr std::string_view NameOf(ModelCode model) {
  switch (model) {
    case ModelCode::kHx310:
      return "HX310";
    case ModelCode::kHx320:
      return "HX320";
    case ModelCode::kOther:
      break;
  }
  return "other";
}

}  // namespace rovant
