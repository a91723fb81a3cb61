// The addresses a discovery asks: IPv4 ranges in CIDR form (10.20.1.0/24) or
// single addresses, merged so that each address is asked once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.hpp"

namespace rovant::discovery {

// The widest range taken without --force: a /16, 65536 addresses.
inline constexpr int kWidestPrefix = 16;

struct AddressRange {
  std::uint32_t first = 0;
  std::uint32_t last = 0;  // inclusive
  [[nodiscard]] std::uint64_t size() const { return std::uint64_t{last} - first + 1; }
};

// "A.B.C.D" in the usual dotted form: four decimal parts of 0..255, no signs,
// no leading zeros (they would be read as octal elsewhere).
std::optional<std::uint32_t> ParseAddress(std::string_view text);
std::string FormatAddress(std::uint32_t address);

// "A.B.C.D" or "A.B.C.D/N". The host bits of A.B.C.D must be zero. Up to a
// /30, the network's own address and its broadcast address are left out.
// Ranges wider than a /16 need `force`. Nothing, with the reason, when the
// text is not a range that can be asked.
Expected<AddressRange> ParseRange(std::string_view text, bool force);

// The ranges sorted and joined where they overlap or touch.
std::vector<AddressRange> MergeRanges(std::vector<AddressRange> ranges);

// How many addresses the merged ranges hold.
std::uint64_t CountAddresses(const std::vector<AddressRange>& merged);

}  // namespace rovant::discovery
