// The printer's reply to a settings query, turned into a settings record.
//
// The reply is scanned one offset at a time. A setting is recognised only as
// a 27-character line: block field (8), one character, item field (8), one
// character, value (7), two characters. Everything else is skipped, so noise
// between lines costs nothing but time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant {

inline constexpr std::size_t kReplyBufferSize = 4096;
using ReplyBuffer = std::array<char, kReplyBufferSize>;

// Which read asked: the Read command, the read after a factory default, or
// the start-up read, which checks the model as well.
enum class ReadMode : int { kRead = 1, kAfterDefault = 3, kStartUp = 7 };

constexpr bool IsReadMode(ReadMode mode) {
  return mode == ReadMode::kRead || mode == ReadMode::kAfterDefault || mode == ReadMode::kStartUp;
}

// What a read reports: done, failed, or another model connected.
enum class ReadResult : int { kFailed = 0, kDone = 1, kOtherModel = -1 };

struct ParsedReply {
  ReadResult result = ReadResult::kFailed;
  bool settingsSeen = false;       // the reply held the settings marker
  SettingsRecord staging{};        // the parsed record (factory defaults where nothing valid came)
  std::vector<int> reportedCodes;  // item codes of bad values, in the order found
  int connectedModel = 0;          // as updated from the model reply
};

// Parses the first `length` bytes (at most 4096) of `reply` as a read of the
// given mode would. `connectedModel` is the model the last start-up read saw
// (0 before any); `selected` is the chosen printer's model. The staging
// record starts from `staging` and becomes the factory defaults at the
// settings marker, as the printer's reply carries every item.
//
// After the scan, an item whose value was read under its block's default
// emulation and lies outside the list of the emulation that the reply set
// later is reported like a bad value and takes that emulation's reset value,
// so the record always holds values inside the lists in force.
ParsedReply ParseReply(const ReplyBuffer& reply, std::size_t length, ReadMode mode,
                       ModelCode selected, int connectedModel, const SettingsRecord& staging);

}  // namespace rovant
