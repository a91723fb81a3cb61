// Arbitrary bytes as a setting file: never a crash or a read outside a list; a damaged file names
// its items, and whatever is accepted renders in full for every model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/setting_file.hpp"
#include "fuzz/read_context.hpp"
#include "protocol/setting_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  const LoadedSettings loaded = DecodeSettingFile(std::span(data, size));
  if (loaded.status == LoadStatus::kOutOfList && loaded.badItems.empty()) std::abort();
  if (loaded.status != LoadStatus::kOk) return 0;
  for (const ModelCode model : fuzz::kModels) {
    SettingText text;
    ItemList refused;
    if (!BuildSettingText(loaded.record, model, text, refused)) std::abort();
    if (text.length < 1000 || text.length > kSettingTextMaxLength) std::abort();
  }
  return 0;
}
