// The settings record: one byte per menu item, the position of its chosen
// option. The same 87 bytes are the content of a setting file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rovant {

inline constexpr std::size_t kItemCount = 87;

using SettingsRecord = std::array<std::uint8_t, kItemCount>;
using ItemIndex = std::size_t;

enum class MenuBlock : std::uint8_t { kMenu1, kMenu2, kHardware, kAdjust, kConfig };
inline constexpr std::size_t kBlockCount = 5;

struct BlockInfo {
  MenuBlock block;
  std::string_view tabName;   // the page's tab text
  std::string_view wireName;  // seven characters, the menu's name on the wire
  ItemIndex first;
  std::size_t count;
};

inline constexpr std::array<BlockInfo, kBlockCount> kBlocks{{
    {MenuBlock::kMenu1, "MENU1", "MENU1  ", 0, 23},
    {MenuBlock::kMenu2, "MENU2", "MENU2  ", 23, 23},
    {MenuBlock::kHardware, "HARDWARE", "HARDWRE", 46, 14},
    {MenuBlock::kAdjust, "ADJUST", "ADJUST ", 60, 10},
    {MenuBlock::kConfig, "CONFIG", "CONFIG ", 70, 17},
}};

constexpr const BlockInfo& InfoOf(MenuBlock block) {
  return kBlocks[static_cast<std::size_t>(block)];
}

constexpr MenuBlock BlockOf(ItemIndex item) {
  for (const BlockInfo& info : kBlocks) {
    if (item < info.first + info.count) return info.block;
  }
  return MenuBlock::kConfig;
}

// The EMULATE item of each menu block, whose value chooses the block's lists.
inline constexpr ItemIndex kMenu1Emulate = 0;
inline constexpr ItemIndex kMenu2Emulate = 23;
enum Emulation : std::uint8_t { kDpl24cPlus = 0, kXl24e = 1, kEscP2 = 2 };

// Items that other items depend on.
inline constexpr ItemIndex kTearOffItem = 70;
inline constexpr ItemIndex kCutLoadItem = 73;
inline constexpr ItemIndex kStatusItem = 84;

// Offsets inside a MENU1 or MENU2 block.
inline constexpr std::size_t kPageLengthOffset = 8;

static_assert(kBlocks[4].first + kBlocks[4].count == kItemCount);
static_assert([] {
  for (std::size_t b = 1; b < kBlockCount; ++b) {
    if (kBlocks[b].first != kBlocks[b - 1].first + kBlocks[b - 1].count) return false;
  }
  for (const BlockInfo& info : kBlocks) {
    if (info.wireName.size() != 7) return false;
  }
  return true;
}());

}  // namespace rovant
