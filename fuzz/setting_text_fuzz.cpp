// Arbitrary records for any model: the text is either refused with exactly the out-of-list items
// that would be sent, or built whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/read_context.hpp"
#include "protocol/setting_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rovant;
  if (size < kItemCount + 1) return 0;
  SettingsRecord record{};
  std::memcpy(record.data(), data, kItemCount);
  const ModelCode model = fuzz::kModels[data[kItemCount] % 3];

  SettingText text;
  ItemList refused;
  const bool built = BuildSettingText(record, model, text, refused);
  std::size_t next = 0;  // in `refused`: every item sent and outside its list, in record order
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (!IsSentNow(item, record, model) || IsInList(item, record)) continue;
    if (next == refused.size() || refused[next++] != item) std::abort();
  }
  if (next != refused.size() || built != (next == 0)) std::abort();
  if (built) {
    if (text.length < 1000 || text.length > kSettingTextMaxLength) std::abort();
    if (std::memchr(text.bytes.data(), 0, text.length) != nullptr) std::abort();
    if (text.bytes[text.length] != '\0' || text.bytes[text.length - 1] != '\r') std::abort();
  } else if (text.length != 0) {
    std::abort();
  }
  return 0;
}
