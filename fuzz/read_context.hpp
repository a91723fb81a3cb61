#pragma once
// What the fuzz targets share: the models, the first three bytes of a reply-parser input (the read
// mode, the model chosen, the model connected before: none, HX310, HX320; each taken modulo the
// choices), and what holds for any parse of any reply.
#include <cstdint>
#include <cstdlib>

#include "model/catalogue.hpp"
#include "model/record_check.hpp"
#include "protocol/item_codes.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant::fuzz {

inline constexpr ModelCode kModels[] = {ModelCode::kHx310, ModelCode::kHx320, ModelCode::kOther};

inline bool AllInLists(const SettingsRecord& record) { return ItemsOutOfList(record).empty(); }

struct ReadContext {
  ReadMode mode;
  ModelCode model;
  int connectedBefore;
};
inline constexpr std::size_t kReadContextBytes = 3;

inline ReadContext ReadContextOf(const std::uint8_t* data) {
  constexpr ReadMode kModes[] = {ReadMode::kRead, ReadMode::kAfterDefault, ReadMode::kStartUp};
  constexpr int kConnected[] = {0, 17, 19};
  return {kModes[data[0] % 3], kModels[data[1] % 3], kConnected[data[2] % 3]};
}

// Reports are item codes and come only from a settings section; an accepted reply leaves every
// value in its list; only a start-up read changes the connected model.
inline void CheckParsed(const ParsedReply& parsed, const ReadContext& context) {
  for (const int code : parsed.reportedCodes) {
    if (!IsItemCode(code)) std::abort();
  }
  if (parsed.result == ReadResult::kDone ? !AllInLists(parsed.staging)
                                         : !parsed.reportedCodes.empty())
    std::abort();
  if (context.mode != ReadMode::kStartUp && parsed.connectedModel != context.connectedBefore)
    std::abort();
}

}  // namespace rovant::fuzz
