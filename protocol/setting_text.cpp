#include "protocol/setting_text.hpp"

#include <algorithm>
#include <cstring>

#include "model/catalogue.hpp"

namespace rovant {
namespace {

class TextWriter {
 public:
  explicit TextWriter(SettingText& out) : out_(out) {}
  void Put(std::string_view piece) {
    // The longest text is far below the buffer; the bound keeps a terminator regardless.
    const std::size_t room = out_.bytes.size() - 1 - out_.length;
    const std::size_t n = std::min(piece.size(), room);
    std::memcpy(out_.bytes.data() + out_.length, piece.data(), n);
    out_.length += n;
  }
  void Put(char c) { Put(std::string_view(&c, 1)); }

 private:
  SettingText& out_;
};

}  // namespace

bool BuildSettingText(const SettingsRecord& record, ModelCode model, SettingText& out,
                      ItemList& refused) {
  out.bytes.fill('\0');
  out.length = 0;

  const std::size_t refusedBefore = refused.size();
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (IsSentNow(item, record, model) && !IsInList(item, record)) refused.Add(item);
  }
  if (refused.size() != refusedBefore) return false;

  TextWriter writer(out);
  for (const BlockInfo& block : kBlocks) {
    writer.Put(block.wireName);
    writer.Put(':');
    bool first = true;
    for (const ItemIndex item : WireOrderOf(block.block)) {
      if (!IsSentNow(item, record, model)) continue;
      if (!first) writer.Put('\r');
      first = false;
      writer.Put(KeywordOf(item));
      writer.Put(':');
      writer.Put(ListInForce(item, record)[record[item]].view());
    }
    writer.Put('\r');
  }
  return true;
}

}  // namespace rovant
