#pragma once
// What the fuzz targets share: the models, whether a record holds only values inside their lists,
// and the first three bytes of a reply-parser input: the read mode, the model chosen and the model
// connected before (none, HX310, HX320), each byte taken modulo the choices.
#include <cstdint>

#include "model/catalogue.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant::fuzz {

inline constexpr ModelCode kModels[] = {ModelCode::kHx310, ModelCode::kHx320, ModelCode::kOther};

inline bool AllInLists(const SettingsRecord& record) {
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!IsInList(item, record)) return false;
  }
  return true;
}

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

}  // namespace rovant::fuzz
