// A small, bounded reader of compiled extended dialog templates (DLGTEMPLATEEX followed by its
// DLGITEMTEMPLATEEX items), as the resource compiler stores them. Portable: it reads bytes
// only, never past the given span, and reports the first fault instead of guessing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rovant::test {

// A field that is either absent, a 16-bit ordinal (0xFFFF prefix) or a UTF-16 string.
struct NameOrOrdinal {
  enum class Kind { kNone, kOrdinal, kName };
  Kind kind = Kind::kNone;
  std::uint16_t ordinal = 0;
  std::u16string name;

  [[nodiscard]] bool IsOrdinal(std::uint16_t value) const {
    return kind == Kind::kOrdinal && ordinal == value;
  }
};

struct DialogItem {
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t id = 0;
  NameOrOrdinal windowClass;
  NameOrOrdinal title;
  std::uint16_t extraBytes = 0;

  // The class as a name: the predefined ordinals 0x80..0x85 become "Button", "Edit", "Static",
  // "ListBox", "ScrollBar", "ComboBox"; a named class is given as stored (ASCII only).
  [[nodiscard]] std::string ClassName() const;
  // The title text (ASCII only; other characters become '?'); empty for an ordinal title.
  [[nodiscard]] std::string Text() const;
};

struct DialogTemplate {
  std::uint16_t version = 0;
  std::uint16_t signature = 0;
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  std::u16string title;
  bool hasFont = false;  // DS_SETFONT (0x40) or DS_SHELLFONT
  std::uint16_t pointSize = 0;
  std::uint16_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charset = 0;
  std::u16string typeface;
  std::vector<DialogItem> items;

  [[nodiscard]] std::string Title() const;
  [[nodiscard]] std::string Typeface() const;
  // The first item with this control id, or nullptr.
  [[nodiscard]] const DialogItem* Find(std::uint32_t id) const;
};

// Parses an extended dialog template. On a fault returns nothing and, when error is given,
// says what and where. The parse never reads outside bytes.
std::optional<DialogTemplate> ParseDialogTemplateEx(std::span<const std::uint8_t> bytes,
                                                    std::string* error = nullptr);

// UTF-16 text to ASCII, characters above 127 as '?'.
std::string Narrow(const std::u16string& text);

}  // namespace rovant::test
