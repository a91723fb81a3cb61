// A bounded list of item indices (never more than one entry per item).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/settings_record.hpp"

namespace rovant {

class ItemList {
 public:
  constexpr void Add(ItemIndex item) {
    if (count_ < items_.size()) items_[count_++] = static_cast<std::uint8_t>(item);
  }
  [[nodiscard]] constexpr bool empty() const { return count_ == 0; }
  [[nodiscard]] constexpr std::size_t size() const { return count_; }
  [[nodiscard]] constexpr ItemIndex operator[](std::size_t i) const { return items_[i]; }
  [[nodiscard]] constexpr const std::uint8_t* begin() const { return items_.data(); }
  [[nodiscard]] constexpr const std::uint8_t* end() const { return items_.data() + count_; }
  [[nodiscard]] constexpr bool Contains(ItemIndex item) const {
    for (std::size_t i = 0; i < count_; ++i) {
      if (items_[i] == item) return true;
    }
    return false;
  }

 private:
  std::array<std::uint8_t, kItemCount> items_{};
  std::size_t count_ = 0;
};

}  // namespace rovant
