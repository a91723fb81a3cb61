// Arbitrary bytes as a setting file: never a crash or a read outside a list;
// whatever is accepted renders and shows in full.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/setting_file.hpp"
#include "fuzz/read_context.hpp"
#include "protocol/setting_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  const LoadedSettings loaded = DecodeSettingFile(std::span(data, size));
  if (loaded.status != LoadStatus::kOk) {
    if (loaded.status == LoadStatus::kOutOfList && loaded.badItems.empty()) std::abort();
    return 0;
  }
  if (!fuzz::AllInLists(loaded.record)) std::abort();  // accepted means every value shows
  for (const ModelCode model : fuzz::kModels) {
    SettingText text;
    ItemList refused;
    if (!BuildSettingText(loaded.record, model, text, refused)) std::abort();
    if (text.length < 1000 || text.length > kSettingTextMaxLength) std::abort();
  }
  return 0;
}
