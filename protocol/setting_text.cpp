#include "protocol/setting_text.hpp"

#include <cstring>

#include "model/catalogue.hpp"

namespace rovant {
namespace {

constexpr std::size_t kKeywordWidth = 7;
constexpr std::size_t kEntryWidth = kKeywordWidth + 1 + OptionLabel::kWidth;  // "KEYWORD:LABEL  "

// Every piece is a fixed width and the longest text is far below the buffer,
// so each step writes whole fields without further checks.
static_assert(kSettingTextMaxLength + kEntryWidth + 1 < kSettingTextBufferSize);

}  // namespace

bool BuildSettingText(const SettingsRecord& record, ModelCode model, SettingText& out,
                      ItemList& refused) {
  out.bytes.fill('\0');
  out.length = 0;

  char* const begin = out.bytes.data();
  char* p = begin;
  bool outOfList = false;
  for (const BlockInfo& block : kBlocks) {
    std::memcpy(p, block.wireName.data(), kKeywordWidth);
    p[kKeywordWidth] = ':';
    p += kKeywordWidth + 1;
    bool first = true;
    for (const ItemIndex item : WireOrderOf(block.block)) {
      if (!IsSentNow(item, record, model)) continue;
      const OptionList list = ListInForce(item, record);
      if (record[item] >= list.size()) {
        outOfList = true;
        continue;
      }
      if (!first) *p++ = '\r';
      first = false;
      std::memcpy(p, KeywordOf(item).data(), kKeywordWidth);
      p[kKeywordWidth] = ':';
      std::memcpy(p + kKeywordWidth + 1, list[record[item]].c_str(), OptionLabel::kWidth);
      p += kEntryWidth;
    }
    *p++ = '\r';
  }

  if (outOfList) {
    // Name every refused item, in record order, and leave no text behind.
    for (ItemIndex item = 0; item < kItemCount; ++item) {
      if (IsSentNow(item, record, model) && !IsInList(item, record)) refused.Add(item);
    }
    std::memset(begin, 0, static_cast<std::size_t>(p - begin));
    return false;
  }
  out.length = static_cast<std::size_t>(p - begin);
  return true;
}

}  // namespace rovant
