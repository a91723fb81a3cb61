#include "discovery/address_range.hpp"

#include <algorithm>
#include <charconv>

namespace rovant::discovery {
namespace {

// A decimal number of at most `digits` digits without sign or leading zero.
std::optional<unsigned> ParseNumber(std::string_view text, std::size_t digits) {
  if (text.empty() || text.size() > digits) return std::nullopt;
  if (text.size() > 1 && text.front() == '0') return std::nullopt;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::uint32_t> ParseAddress(std::string_view text) {
  std::uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = part < 3 ? text.find('.') : text.size();
    if (dot == std::string_view::npos) return std::nullopt;
    const std::optional<unsigned> value = ParseNumber(text.substr(0, dot), 3);
    if (!value || *value > 255) return std::nullopt;
    address = (address << 8) | *value;
    text.remove_prefix(part < 3 ? dot + 1 : dot);
  }
  return address;
}

std::string FormatAddress(std::uint32_t address) {
  return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
         std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

Expected<AddressRange> ParseRange(std::string_view text, bool force) {
  const std::size_t slash = text.find('/');
  const std::optional<std::uint32_t> address = ParseAddress(text.substr(0, slash));
  if (!address) {
    return Fail(std::string(text) + ": not an IPv4 address or range (A.B.C.D or A.B.C.D/N)");
  }
  unsigned prefix = 32;
  if (slash != std::string_view::npos) {
    const std::optional<unsigned> bits = ParseNumber(text.substr(slash + 1), 2);
    if (!bits || *bits > 32) {
      return Fail(std::string(text) + ": the prefix length is a number from 0 to 32");
    }
    prefix = *bits;
  }
  const std::uint32_t hostMask =
      prefix == 0 ? 0xFFFFFFFFu
                  : static_cast<std::uint32_t>((std::uint64_t{1} << (32 - prefix)) - 1);
  if ((*address & hostMask) != 0) {
    return Fail(std::string(text) + ": the address has host bits set; the range starts at " +
                FormatAddress(*address & ~hostMask) + "/" + std::to_string(prefix));
  }
  if (prefix < static_cast<unsigned>(kWidestPrefix) && !force) {
    return Fail(std::string(text) + ": " + std::to_string(std::uint64_t{hostMask} + 1) +
                " addresses, more than a /16; give --force to ask them all");
  }
  AddressRange range{*address, *address | hostMask};
  if (prefix <= 30) {
    ++range.first;
    --range.last;
  }
  return range;
}

std::vector<AddressRange> MergeRanges(std::vector<AddressRange> ranges) {
  std::sort(ranges.begin(), ranges.end(),
            [](const AddressRange& a, const AddressRange& b) { return a.first < b.first; });
  std::vector<AddressRange> merged;
  for (const AddressRange& r : ranges) {
    if (!merged.empty() && std::uint64_t{r.first} <= std::uint64_t{merged.back().last} + 1) {
      merged.back().last = std::max(merged.back().last, r.last);
    } else {
      merged.push_back(r);
    }
  }
  return merged;
}

std::uint64_t CountAddresses(const std::vector<AddressRange>& merged) {
  std::uint64_t count = 0;
  for (const AddressRange& r : merged) count += r.size();
  return count;
}

}  // namespace rovant::discovery
