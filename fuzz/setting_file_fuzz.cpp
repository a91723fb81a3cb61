// Arbitrary bytes as a setting file: never a crash or a read outside a list;
// whatever is accepted renders and shows in full.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "protocol/setting_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  const LoadedSettings loaded = DecodeSettingFile(std::span(data, size));
  if (loaded.status != LoadStatus::kOk) {
    if (loaded.status == LoadStatus::kOutOfList && loaded.badItems.empty()) std::abort();
    return 0;
  }
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!LabelOf(item, loaded.record)) std::abort();  // accepted means every value shows
  }
  for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320, ModelCode::kOther}) {
    SettingText text;
    ItemList refused;
    if (!BuildSettingText(loaded.record, model, text, refused)) std::abort();
    if (text.length < 1000 || text.length > kSettingTextMaxLength) std::abort();
  }
  return 0;
}
