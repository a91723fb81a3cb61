// An opaque reference to a window of the user interface (owner of a box or dialog).
#pragma once

#include <cstdint>

namespace rovant {

using WindowRef = std::uintptr_t;
inline constexpr WindowRef kNoWindow = 0;

}  // namespace rovant
