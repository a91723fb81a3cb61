#include "tests/resources/dialog_template.hpp"

#include <cstddef>
#include <string_view>

namespace rovant::test {
namespace {

constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kDsShellFont = 0x48;  // DS_SETFONT | DS_FIXEDSYS
constexpr std::size_t kMaxItems = 1024;
constexpr std::size_t kMaxTextUnits = 4096;

// Reads little-endian values from a span; every read is checked against its end.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Fail(std::string_view what) {
    if (error_.empty()) error_ = std::string(what) + " at offset " + std::to_string(pos_);
    return false;
  }
  [[nodiscard]] const std::string& Error() const { return error_; }
  [[nodiscard]] std::size_t Pos() const { return pos_; }

  bool U8(std::uint8_t& out) {
    if (bytes_.size() - pos_ < 1) return Fail("truncated (byte)");
    out = bytes_[pos_++];
    return true;
  }
  bool U16(std::uint16_t& out) {
    if (bytes_.size() - pos_ < 2) return Fail("truncated (word)");
    out = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool I16(std::int16_t& out) {
    std::uint16_t v = 0;
    if (!U16(v)) return false;
    out = static_cast<std::int16_t>(v);
    return true;
  }
  bool U32(std::uint32_t& out) {
    std::uint16_t lo = 0;
    std::uint16_t hi = 0;
    if (!U16(lo) || !U16(hi)) return false;
    out = static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16);
    return true;
  }
  // A zero-terminated UTF-16 string.
  bool Text(std::u16string& out) {
    out.clear();
    for (;;) {
      std::uint16_t unit = 0;
      if (!U16(unit)) return false;
      if (unit == 0) return true;
      if (out.size() >= kMaxTextUnits) return Fail("text too long");
      out.push_back(static_cast<char16_t>(unit));
    }
  }
  bool NameOrOrd(NameOrOrdinal& out) {
    std::uint16_t first = 0;
    if (!U16(first)) return false;
    if (first == 0x0000) {
      out = {};
      return true;
    }
    if (first == 0xFFFF) {
      out.kind = NameOrOrdinal::Kind::kOrdinal;
      return U16(out.ordinal);
    }
    out.kind = NameOrOrdinal::Kind::kName;
    out.name.assign(1, static_cast<char16_t>(first));
    std::u16string rest;
    if (!Text(rest)) return false;
    out.name += rest;
    return true;
  }
  bool Skip(std::size_t count) {
    if (bytes_.size() - pos_ < count) return Fail("truncated (extra data)");
    pos_ += count;
    return true;
  }
  // Items start on a 4-byte boundary from the start of the template.
  bool AlignDword() {
    const std::size_t pad = (4 - pos_ % 4) % 4;
    if (pad == 0) return true;
    // The padding after the last item may be absent; a following item needs it.
    if (bytes_.size() - pos_ < pad) return Fail("truncated (alignment)");
    pos_ += pad;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::string error_;
};

bool ReadItem(Reader& r, DialogItem& item) {
  return r.AlignDword() && r.U32(item.helpId) && r.U32(item.exStyle) && r.U32(item.style) &&
         r.I16(item.x) && r.I16(item.y) && r.I16(item.cx) && r.I16(item.cy) && r.U32(item.id) &&
         r.NameOrOrd(item.windowClass) && r.NameOrOrd(item.title) && r.U16(item.extraBytes) &&
         r.Skip(item.extraBytes);
}

}  // namespace

std::string Narrow(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

std::string DialogItem::ClassName() const {
  if (windowClass.kind == NameOrOrdinal::Kind::kName) return Narrow(windowClass.name);
  if (windowClass.kind == NameOrOrdinal::Kind::kNone) return {};
  switch (windowClass.ordinal) {
    case 0x80:
      return "Button";
    case 0x81:
      return "Edit";
    case 0x82:
      return "Static";
    case 0x83:
      return "ListBox";
    case 0x84:
      return "ScrollBar";
    case 0x85:
      return "ComboBox";
    default:
      return "#" + std::to_string(windowClass.ordinal);
  }
}

std::string DialogItem::Text() const {
  return title.kind == NameOrOrdinal::Kind::kName ? Narrow(title.name) : std::string();
}

std::string DialogTemplate::Title() const { return Narrow(title); }
std::string DialogTemplate::Typeface() const { return Narrow(typeface); }

const DialogItem* DialogTemplate::Find(std::uint32_t id) const {
  for (const DialogItem& item : items)
    if (item.id == id) return &item;
  return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplateEx(std::span<const std::uint8_t> bytes,
                                                    std::string* error) {
  Reader r(bytes);
  DialogTemplate t;
  std::uint16_t count = 0;
  const auto fail = [&](std::string_view what) -> std::optional<DialogTemplate> {
    r.Fail(what);
    if (error != nullptr) *error = r.Error();
    return std::nullopt;
  };

  if (!r.U16(t.version) || !r.U16(t.signature)) return fail("header");
  if (t.version != 1 || t.signature != 0xFFFF) return fail("not a DLGTEMPLATEEX");
  if (!r.U32(t.helpId) || !r.U32(t.exStyle) || !r.U32(t.style) || !r.U16(count) || !r.I16(t.x) ||
      !r.I16(t.y) || !r.I16(t.cx) || !r.I16(t.cy) || !r.NameOrOrd(t.menu) ||
      !r.NameOrOrd(t.windowClass) || !r.Text(t.title)) {
    return fail("header");
  }
  if (count > kMaxItems) return fail("too many items");
  t.hasFont = (t.style & kDsSetFont) != 0 || (t.style & kDsShellFont) == kDsShellFont;
  if (t.hasFont) {
    if (!r.U16(t.pointSize) || !r.U16(t.weight) || !r.U8(t.italic) || !r.U8(t.charset) ||
        !r.Text(t.typeface)) {
      return fail("font");
    }
  }
  t.items.resize(count);
  for (DialogItem& item : t.items) {
    if (!ReadItem(r, item)) return fail("item " + std::to_string(&item - t.items.data()));
  }
  return t;
}

}  // namespace rovant::test
