// A captured picture: 32-bit pixels 0x00RRGGBB, rows top to bottom.
#pragma once

#include <cstdint>
#include <vector>

namespace rovant::uidriver {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height

  [[nodiscard]] bool empty() const { return width <= 0 || height <= 0; }
  [[nodiscard]] std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

}  // namespace rovant::uidriver
