// A minimal PNG encoder: 8-bit RGB, filter 0, deflate with stored (uncompressed) blocks, so no
// compression library is needed. Pictures are larger than compressed ones, which is fine for
// test artifacts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testbed/uidriver/image.hpp"

namespace rovant::uidriver {

// The PNG file's bytes; empty for an empty image.
std::vector<std::uint8_t> EncodePng(const Image& image);
// Writes the PNG to `path` (a Windows path); false if it cannot.
bool SavePng(const Image& image, const std::wstring& path);

}  // namespace rovant::uidriver
