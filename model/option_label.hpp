// One option text of a menu item, and the ordered lists they form.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace rovant {

// Exactly seven printable characters: shown in the lists, sent to the printer
// and compared with its replies unchanged. The width is enforced by the type:
// only a literal of exactly seven characters converts to a label.
class OptionLabel {
 public:
  static constexpr std::size_t kWidth = 7;
  using Text = std::array<char, kWidth + 1>;

  constexpr OptionLabel() = default;
  // NOLINTNEXTLINE(google-explicit-constructor): lists are written as literals.
  consteval OptionLabel(const char (&literal)[kWidth + 1]) {
    for (std::size_t i = 0; i < kWidth; ++i) text_[i] = literal[i];
  }
  static constexpr OptionLabel FromText(const Text& text) {
    OptionLabel label;
    for (std::size_t i = 0; i < kWidth; ++i) label.text_[i] = text[i];
    return label;
  }

  [[nodiscard]] constexpr std::string_view view() const noexcept { return {text_.data(), kWidth}; }
  [[nodiscard]] constexpr const char* c_str() const noexcept { return text_.data(); }
  [[nodiscard]] constexpr bool IsPrintable() const noexcept {
    for (std::size_t i = 0; i < kWidth; ++i) {
      if (text_[i] < 0x20 || text_[i] > 0x7e) return false;
    }
    return text_[kWidth] == '\0';
  }
  friend constexpr bool operator==(const OptionLabel& a, const OptionLabel& b) noexcept {
    return a.view() == b.view();
  }

 private:
  Text text_{};
};

using OptionList = std::span<const OptionLabel>;

template <typename... Literal>
consteval auto MakeOptionList(const Literal&... literals) {
  return std::array<OptionLabel, sizeof...(Literal)>{OptionLabel(literals)...};
}

}  // namespace rovant
