// The item catalogue: every menu item of the printer with its keyword, page
// label, option lists, factory default and the condition that puts it in effect.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/model_code.hpp"
#include "model/option_label.hpp"
#include "model/option_lists.hpp"
#include "model/settings_record.hpp"

namespace rovant {

// Which of an item's two lists the EMULATE value of its block puts in force.
enum class ListRule : std::uint8_t {
  kSingle,            // one list only
  kSecondUnlessDpl,   // second list under XL24E and ESC/P2
  kSecondUnderXl,     // second list under XL24E
  kSecondUnderEscP2,  // second list under ESC/P2
};

enum class Condition : std::uint8_t {
  kAlways,
  kPageLengthIsLine,     // PAGE LG of the block is its "LINE   " entry
  kEmulationIsXl,        // EMULATE of the block is XL24E
  kEmulationIsDpl,       // EMULATE of the block is DPL24C+
  kEmulationIsNotEscP2,  // EMULATE of the block is not ESC/P2
  kWidthModel,           // in effect unless HX310; sent only to an HX320
  kModelIsNotHx310,      // in effect and sent unless HX310
  kTearOffIsAuto,        // TEAROFF is "AUTO   "
  kCutLoadIsAuto,        // CUTLOAD is "AUTO   "
};

struct ItemInfo {
  std::string_view keyword;    // seven characters; empty for an item never on the wire
  std::string_view pageLabel;  // the row label on the setting page
  OptionList list;             // the list in force by default
  OptionList second;           // the alternative list, empty unless rule says otherwise
  ListRule rule = ListRule::kSingle;
  std::uint8_t factoryDefault = 0;
  Condition condition = Condition::kAlways;
  bool readOnly = false;  // shown, never edited nor sent
  bool read = true;       // taken from the printer's reply
  ItemIndex twin = 0;     // for MENU2 items the MENU1 item of the same keyword, else itself
};

namespace detail {

using namespace lists;

constexpr ItemInfo Item(std::string_view keyword, std::string_view label, OptionList list,
                        std::uint8_t factoryDefault, Condition condition = Condition::kAlways) {
  return ItemInfo{keyword, label, list, {}, ListRule::kSingle, factoryDefault, condition};
}
constexpr ItemInfo Switched(std::string_view keyword, std::string_view label, OptionList list,
                            OptionList second, ListRule rule, std::uint8_t factoryDefault) {
  return ItemInfo{keyword, label, list, second, rule, factoryDefault, Condition::kAlways};
}
constexpr ItemInfo ReadOnly(std::string_view keyword, std::string_view label, OptionList list,
                            std::uint8_t factoryDefault) {
  ItemInfo info = Item(keyword, label, list, factoryDefault);
  info.readOnly = true;
  return info;
}

// The 23 items of a MENU1 or MENU2 block, in MENU1's record order.
inline constexpr std::array<ItemInfo, 23> kMenuItems{{
    Item("EMULATE", "EMULATE", kEmulation, 0),
    Switched("FONT   ", "FONT", kFont, OptionList(kFont).first(kFontWithoutDownload1),
             ListRule::kSecondUnlessDpl, 0),
    Item("QUALITY", "QUALITY", kQuality, 0),
    Item("PITCH  ", "PITCH", kPitch, 4),
    Item("LINE SP", "LINE-SP", kLineSpacing, 5),
    Switched("CHAR-W ", "CHAR-W", kCharScale, kCharScaleXl, ListRule::kSecondUnderXl, 0),
    Switched("CHAR-H ", "CHAR-H", kCharScale, kCharScaleXl, ListRule::kSecondUnderXl, 0),
    Switched("ATTRIB ", "ATTRIB", kAttribute, kAttributeXl, ListRule::kSecondUnderXl, 0),
    Switched("PAGE LG", "PAGE LG", kPageLength, kPageLengthEscP2, ListRule::kSecondUnderEscP2, 9),
    Item("PG LX10", "PG LX10", kPageTens, 6, Condition::kPageLengthIsLine),
    Item("PG LX1 ", "PG LX1", kPageUnits, 6, Condition::kPageLengthIsLine),
    Item("LFT-END", "LFT-END", kLeftEnd, 0),
    Item("TOP-MRG", "TOP-MRG", kTopMargin, 0),
    Switched("LANGUGE", "LANGUGE", kLanguage, kLanguageEscP2, ListRule::kSecondUnderEscP2, 8),
    Switched("CHR-SET", "CHR-SET", kCharSet, kCharSetEscP2, ListRule::kSecondUnderEscP2, 1),
    Item("AGM    ", "AGM", kOffOn, 0, Condition::kEmulationIsXl),
    Item("PRF-SKP", "PRF-SKP", kPerforationSkip, 1),
    Item("WIDTH  ", "WIDTH", kWidth, 3, Condition::kWidthModel),
    Item("ZEROFNT", "ZEROFNT", kZeroFont, 0, Condition::kEmulationIsNotEscP2),
    Item("DC3-CDE", "DC3-CDE", kEnableDisable, 0, Condition::kEmulationIsDpl),
    Item("CR-CODE", "CR-CODE", kCrCode, 0),
    Item("LF-CODE", "LF-CODE", kLfCode, 1, Condition::kEmulationIsNotEscP2),
    Item("RGHTEND", "RGHTEND", kRightEnd, 0),
}};

// MENU2 keeps DC3-CDE before ZEROFNT in the record.
inline constexpr ItemIndex kMenu1ZeroFont = 18;
inline constexpr ItemIndex kMenu1Dc3Code = 19;
constexpr ItemIndex Menu1TwinOfMenu2Offset(std::size_t offset) {
  if (offset == kMenu1ZeroFont) return kMenu1Dc3Code;
  if (offset == kMenu1Dc3Code) return kMenu1ZeroFont;
  return offset;
}

inline constexpr std::array<ItemInfo, 41> kOtherItems{{
    // HARDWARE 46-59
    Item("PPR-OUT", "PPR-OUT", kPaperOut, 1),
    Item("PRT-DIR", "PRT-DIR", kPrintDirection, 0),
    Item("BUZZER ", "BUZZER", kOnOff, 0),
    Item("WORD-LG", "WORD-LG", kWordLength, 0),
    Item("BUFFER ", "BUFFER", kBuffer, 3),
    ReadOnly("INTRFCE", "INTRFCE", kInterface, 3),
    ReadOnly("FORMAT ", "FORMAT", kFormat, 0),
    ReadOnly("BAUD-RT", "BAUD-RT", kBaudRate, 6),
    ReadOnly("PROTOCL", "PROTOCL", kProtocol, 0),
    ReadOnly("DSR    ", "DSR", kIgnoreDetect, 0),
    ReadOnly("DUPLEX ", "DUPLEX", kDuplex, 0),
    ReadOnly("CTS    ", "CTS", kIgnoreDetect, 1),
    ReadOnly("CD     ", "CD", kIgnoreDetect, 0),
    ReadOnly("CSFTYPE", "CSFTYPE", kSheetFeeder, 0),
    // ADJUST 60-69
    Item("CNT-ORG", "CNT-ORG", kOrigin, 2),
    Item("CNTFINE", "CNTFINE", kFine, 0),
    Item("CUT-ORG", "CUT-ORG", kOrigin, 2),
    Item("CUTFINE", "CUTFINE", kFine, 0),
    Item("CNT-LFT", "CNT-LFT", kLeftOffset, 10),
    Item("CUT-LFT", "CUT-LFT", kLeftOffset, 10),
    Item("CUT-ADJ", "CUT-ADJ", kCutAdjust, 3),
    Item("CSF-ADJ", "CSF-ADJ", kCutAdjust, 3, Condition::kModelIsNotHx310),
    Item("CNT-ADJ", "CNT-ADJ", kContinuousAdjust, 4),
    Item("CNTADJL", "CNTADJL", kCutAdjust, 3),
    // CONFIG 70-86
    Item("TEAROFF", "TEAROFF", kTearOff, 0),
    Item("TEARPOS", "TEARPOS", kTearPosition, 0),
    Item("TEAR-EN", "TEAR-EN", kTearWait, 1, Condition::kTearOffIsAuto),
    Item("CUTLOAD", "CUTLOAD", kCutLoad, 0),
    Item("LOADTIM", "LOADTIM", kLoadTime, 1, Condition::kCutLoadIsAuto),
    Item("DECODE ", "DECODE", kDecode, 0),
    Item("AREACNT", "AREACNT", kEnableDisable, 1),
    Item("ON-LOAD", "ON-LOAD", kOnLoad, 1),
    Item("LOCK   ", "LOCK", kLock, 0),
    Item("//S//  ", "//S//", kDisableEnable, 0),
    Item("CONT-PE", "CONT-PE", kContinuousPaperEntry, 1),
    Item("GATHER ", "GATHER", kEnableDisable, 1),
    Item("CUT-CTL", "CUT-CTL", kCutControl, 1),
    Item("SKIP-PR", "SKIP-PR", kEnableDisable, 0),
    ItemInfo{"",
             "STATUS",
             kEnableDisable,
             {},
             ListRule::kSingle,
             1,
             Condition::kAlways,
             /*readOnly=*/true,
             /*read=*/false},
    Item("BANDCTL", "BANDCTL", kEnableDisable, 1),
    Item("TOF-CTL", "TOF-CTL", kTopOfForm, 0),
}};

consteval std::array<ItemInfo, kItemCount> BuildCatalogue() {
  std::array<ItemInfo, kItemCount> out{};
  for (std::size_t i = 0; i < kMenuItems.size(); ++i) {
    out[i] = kMenuItems[i];
    out[i].twin = i;
    const ItemIndex twin = Menu1TwinOfMenu2Offset(i);
    out[23 + i] = kMenuItems[twin];
    out[23 + i].twin = twin;
  }
  for (std::size_t i = 0; i < kOtherItems.size(); ++i) {
    out[46 + i] = kOtherItems[i];
    out[46 + i].twin = 46 + i;
  }
  return out;
}

}  // namespace detail

inline constexpr std::array<ItemInfo, kItemCount> kCatalogue = detail::BuildCatalogue();

// The order in which a block's items are written in the setting text and
// expected in the printer's reply: record order, except that MENU2 names
// ZEROFNT (record 42) before DC3-CDE (record 41), as MENU1 does.
inline constexpr std::array<std::uint8_t, kItemCount> kWireOrder = [] {
  std::array<std::uint8_t, kItemCount> order{};
  for (std::size_t i = 0; i < kItemCount; ++i) order[i] = static_cast<std::uint8_t>(i);
  order[41] = 42;
  order[42] = 41;
  return order;
}();

constexpr std::span<const std::uint8_t> WireOrderOf(MenuBlock block) {
  const BlockInfo& info = InfoOf(block);
  return std::span<const std::uint8_t>(kWireOrder).subspan(info.first, info.count);
}

// ---- Operations of the catalogue ----

constexpr ItemIndex EmulateItemOf(ItemIndex item) {
  return BlockOf(item) == MenuBlock::kMenu2 ? kMenu2Emulate : kMenu1Emulate;
}

// The list in force for the item, chosen by the EMULATE byte of its block.
constexpr OptionList ListInForce(ItemIndex item, const SettingsRecord& record) {
  const ItemInfo& info = kCatalogue[item];
  const std::uint8_t emulation = record[EmulateItemOf(item)];
  switch (info.rule) {
    case ListRule::kSingle:
      return info.list;
    case ListRule::kSecondUnlessDpl:
      return emulation != kDpl24cPlus ? info.second : info.list;
    case ListRule::kSecondUnderXl:
      return emulation == kXl24e ? info.second : info.list;
    case ListRule::kSecondUnderEscP2:
      return emulation == kEscP2 ? info.second : info.list;
  }
  return info.list;
}

// Whether the stored byte is a position in the list in force.
constexpr bool IsInList(ItemIndex item, const SettingsRecord& record) {
  return record[item] < ListInForce(item, record).size();
}

// The label at the stored position, or nothing when the byte lies outside the list.
constexpr std::optional<std::string_view> LabelOf(ItemIndex item, const SettingsRecord& record) {
  const OptionList list = ListInForce(item, record);
  if (record[item] >= list.size()) return std::nullopt;
  return list[record[item]].view();
}

// The position of a label in the list in force; exactly seven characters compared.
constexpr std::optional<std::uint8_t> PositionOfLabel(ItemIndex item, const SettingsRecord& record,
                                                      std::string_view text) {
  if (text.size() < OptionLabel::kWidth) return std::nullopt;
  text = text.substr(0, OptionLabel::kWidth);
  const OptionList list = ListInForce(item, record);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].view() == text) return static_cast<std::uint8_t>(i);
  }
  return std::nullopt;
}

constexpr std::string_view KeywordOf(ItemIndex item) { return kCatalogue[item].keyword; }
constexpr std::string_view PageLabelOf(ItemIndex item) { return kCatalogue[item].pageLabel; }
constexpr bool IsReadOnly(ItemIndex item) { return kCatalogue[item].readOnly; }
constexpr bool IsRead(ItemIndex item) { return kCatalogue[item].read; }
constexpr bool IsSent(ItemIndex item) { return !kCatalogue[item].readOnly; }

constexpr bool ConditionHolds(Condition condition, ItemIndex item, const SettingsRecord& record,
                              ModelCode model, bool forSending) {
  const ItemIndex emulateItem = EmulateItemOf(item);
  const std::uint8_t emulation = record[emulateItem];
  switch (condition) {
    case Condition::kAlways:
      return true;
    case Condition::kPageLengthIsLine:
      return record[emulateItem + kPageLengthOffset] == (emulation == kEscP2
                                                             ? lists::kPageLengthEscP2.size() - 1
                                                             : lists::kPageLength.size() - 1);
    case Condition::kEmulationIsXl:
      return emulation == kXl24e;
    case Condition::kEmulationIsDpl:
      return emulation == kDpl24cPlus;
    case Condition::kEmulationIsNotEscP2:
      return emulation != kEscP2;
    case Condition::kWidthModel:
      return forSending ? model == ModelCode::kHx320 : model != ModelCode::kHx310;
    case Condition::kModelIsNotHx310:
      return model != ModelCode::kHx310;
    case Condition::kTearOffIsAuto:
      return record[kTearOffItem] == 1;
    case Condition::kCutLoadIsAuto:
      return record[kCutLoadItem] == 0;
  }
  return true;
}

// Whether the item is in effect: enabled on its page and considered by the printer.
constexpr bool InEffect(ItemIndex item, const SettingsRecord& record, ModelCode model) {
  return ConditionHolds(kCatalogue[item].condition, item, record, model, false);
}

// Whether the setting text carries the item for this record and model.
constexpr bool IsSentNow(ItemIndex item, const SettingsRecord& record, ModelCode model) {
  return IsSent(item) && ConditionHolds(kCatalogue[item].condition, item, record, model, true);
}

// ---- Constant records ----

inline constexpr SettingsRecord kFactoryDefaults = [] {
  SettingsRecord record{};
  for (std::size_t i = 0; i < kItemCount; ++i) record[i] = kCatalogue[i].factoryDefault;
  return record;
}();

// What the other items of a MENU1 or MENU2 block become when its EMULATE
// changes, by emulation, indexed by the MENU1 item.
inline constexpr std::array<std::array<std::uint8_t, 23>, 3> kEmulationReset{{
    /* DPL24C+ */ {0, 0, 0, 4, 5, 0, 0, 0, 9, 6, 6, 0, 0, 8, 1, 0, 1, 3, 0, 0, 0, 1, 0},
    /* XL24E   */ {1, 0, 0, 4, 5, 0, 0, 0, 9, 6, 6, 0, 0, 8, 1, 0, 1, 3, 0, 0, 0, 0, 0},
    /* ESC/P2  */ {2, 0, 0, 4, 5, 0, 0, 0, 14, 6, 6, 0, 0, 12, 0, 0, 1, 3, 0, 0, 0, 1, 0},
}};

// Sets EMULATE of the block (MENU1 or MENU2) and resets its other items.
// Other blocks are not touched; an out-of-range emulation changes nothing.
constexpr void ApplyEmulationReset(SettingsRecord& record, MenuBlock block,
                                   std::uint8_t emulation) {
  if (block != MenuBlock::kMenu1 && block != MenuBlock::kMenu2) return;
  if (emulation >= kEmulationReset.size()) return;
  const BlockInfo& info = InfoOf(block);
  for (std::size_t i = 0; i < info.count; ++i) {
    const ItemIndex item = info.first + i;
    record[item] = kEmulationReset[emulation][kCatalogue[item].twin];
  }
  record[info.first] = emulation;
}

constexpr void ResetToFactoryDefaults(SettingsRecord& record) { record = kFactoryDefaults; }

// ---- Checks on the tables ----

static_assert(kCatalogue.size() == 87);
static_assert(kCatalogue[41].keyword == "DC3-CDE" && kCatalogue[42].keyword == "ZEROFNT" &&
              kCatalogue[18].keyword == "ZEROFNT" && kCatalogue[19].keyword == "DC3-CDE");
static_assert(kCatalogue[kStatusItem].pageLabel == "STATUS" &&
              kCatalogue[kStatusItem].keyword.empty());
static_assert(kCatalogue[kTearOffItem].keyword == "TEAROFF" &&
              kCatalogue[kCutLoadItem].keyword == "CUTLOAD");
static_assert(kCatalogue[kMenu1Emulate + kPageLengthOffset].keyword == "PAGE LG" &&
              kCatalogue[kMenu2Emulate + kPageLengthOffset].keyword == "PAGE LG");
static_assert(kWireOrder[41] == 42 && kWireOrder[42] == 41);
static_assert(
    [] {
      for (const ItemInfo& info : kCatalogue) {
        if (!info.keyword.empty() && info.keyword.size() != 7) return false;
        if (info.list.empty() || info.list.size() > 255 || info.factoryDefault >= info.list.size())
          return false;
        if ((info.rule == ListRule::kSingle) != info.second.empty()) return false;
        for (const OptionLabel& label : info.list)
          if (!label.IsPrintable()) return false;
        for (const OptionLabel& label : info.second)
          if (!label.IsPrintable()) return false;
      }
      return true;
    }(),
    "every keyword and label is seven printable characters and every default lies in its list");
static_assert([] {
  // Page labels are the keywords without trailing blanks, except LINE-SP.
  for (const ItemInfo& info : kCatalogue) {
    if (info.keyword.empty()) continue;
    std::string_view trimmed = info.keyword;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    if (info.keyword == "LINE SP") {
      if (info.pageLabel != "LINE-SP") return false;
    } else if (trimmed != info.pageLabel) {
      return false;
    }
  }
  return true;
}());
static_assert([] {
  // The DPL24C+ reset equals the block's factory defaults, and every reset
  // value lies in the list in force under its emulation.
  for (std::uint8_t emulation = 0; emulation < 3; ++emulation) {
    SettingsRecord record = kFactoryDefaults;
    ApplyEmulationReset(record, MenuBlock::kMenu1, emulation);
    ApplyEmulationReset(record, MenuBlock::kMenu2, emulation);
    for (ItemIndex i = 0; i < 46; ++i) {
      if (!IsInList(i, record)) return false;
      if (emulation == kDpl24cPlus && record[i] != kFactoryDefaults[i]) return false;
    }
  }
  return true;
}());
static_assert(kFactoryDefaults ==
                  SettingsRecord{0, 0, 0, 4, 5, 0, 0, 0, 9, 6, 6, 0, 0, 8, 1, 0, 1, 3, 0, 0, 0,  1,
                                 0, 0, 0, 0, 4, 5, 0, 0, 0, 9, 6, 6, 0, 0, 8, 1, 0, 1, 3, 0, 0,  0,
                                 1, 0, 1, 0, 0, 0, 3, 3, 0, 6, 0, 0, 0, 1, 0, 0, 2, 0, 2, 0, 10, 10,
                                 3, 3, 4, 3, 0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 0},
              "the factory defaults as the printer's documentation lists them");

}  // namespace rovant
