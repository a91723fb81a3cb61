// The printer models the program knows, by the codes the rest of the program uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rovant {

// kUnclassified: a printer entry whose driver has not been looked at yet.
enum class ModelCode : std::uint8_t { kUnclassified = 0, kHx310 = 17, kHx320 = 19, kOther = 255 };

constexpr std::string_view NameOf(ModelCode model) {
  switch (model) {
    case ModelCode::kHx310:
      return "HX310";
    case ModelCode::kHx320:
      return "HX320";
    case ModelCode::kUnclassified:
    case ModelCode::kOther:
      break;
  }
  return "other";
}

// The printer drivers the program supports, compared exactly (case and whole
// name); any other driver is kOther.
inline constexpr std::string_view kDriverHx310 = "Vek HX310";
inline constexpr std::string_view kDriverHx320 = "Vek HX320";

constexpr ModelCode ModelOfDriver(std::string_view driverName) {
  if (driverName == kDriverHx310) return ModelCode::kHx310;
  if (driverName == kDriverHx320) return ModelCode::kHx320;
  return ModelCode::kOther;
}

static_assert(ModelOfDriver("Vek HX310") == ModelCode::kHx310);
static_assert(ModelOfDriver("Vek HX320") == ModelCode::kHx320);
static_assert(ModelOfDriver("vek HX320") == ModelCode::kOther);
static_assert(ModelOfDriver("Vek HX320 ") == ModelCode::kOther);

}  // namespace rovant
