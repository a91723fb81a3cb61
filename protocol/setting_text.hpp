// The setting text: every sent item of a record as "KEYWORD:LABEL" entries,
// grouped in the five menu sections, as a transfer sends it to the printer.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "model/item_list.hpp"
#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant {

inline constexpr std::size_t kSettingTextBufferSize = 4096;
// The longest text: every conditional entry present.
inline constexpr std::size_t kSettingTextMaxLength = 1240;
static_assert(kSettingTextMaxLength < kSettingTextBufferSize);

// The text, NUL-terminated in a zero-filled buffer; `length` bytes are sent.
struct SettingText {
  std::array<char, kSettingTextBufferSize> bytes{};
  std::size_t length = 0;

  [[nodiscard]] std::string_view view() const { return {bytes.data(), length}; }
};

// Renders the record for the model into `out`. Items whose stored position
// lies outside their list in force are never looked up: when an item that
// would be sent holds such a value, the text is not built (`out` is left
// empty), the items are added to `refused` in record order, and false returns.
[[nodiscard]] bool BuildSettingText(const SettingsRecord& record, ModelCode model, SettingText& out,
                                    ItemList& refused);

}  // namespace rovant
