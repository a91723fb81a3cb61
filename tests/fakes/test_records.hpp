// Records and reply lines that tests build: random valid records, and the
// printer's 27-character setting lines.
#pragma once

#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "model/catalogue.hpp"

namespace rovant::testing {

// A record whose every byte lies in its list in force.
inline SettingsRecord RandomRecord(std::mt19937& rng) {
  const auto pick = [&rng](std::size_t n) {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<std::size_t>(0, n - 1)(rng));
  };
  SettingsRecord record{};
  record[kMenu1Emulate] = pick(ListInForce(kMenu1Emulate, record).size());
  record[kMenu2Emulate] = pick(ListInForce(kMenu2Emulate, record).size());
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (item == kMenu1Emulate || item == kMenu2Emulate) continue;
    record[item] = pick(ListInForce(item, record).size());
  }
  return record;
}

// `record` with the bytes that `changes` lists as "item=value ..." set.
inline SettingsRecord WithChanges(SettingsRecord record, const std::string& changes) {
  std::istringstream text(changes);
  for (std::size_t item = 0, value = 0; text >> item && text.ignore() >> value;) {
    record.at(item) = static_cast<std::uint8_t>(value);
  }
  return record;
}

// One setting line of a reply: block field, item field, value, CR LF.
inline std::string ReplyLine(std::string_view block, std::string_view keyword,
                             std::string_view value) {
  std::string line(block);
  line.resize(8, ' ');
  line += ':';
  line += keyword;
  line.resize(17, ' ');
  line += ':';
  line += value;
  return line + "\r\n";
}

}  // namespace rovant::testing
