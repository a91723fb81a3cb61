// The code each item has in the report of a bad value received from the
// printer, and the label that report shows for it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/catalogue.hpp"
#include "model/settings_record.hpp"

namespace rovant {

inline constexpr int kFirstItemCode = 101;
inline constexpr int kLastItemCode = 187;

constexpr bool IsItemCode(int code) { return code >= kFirstItemCode && code <= kLastItemCode; }

namespace detail {

// Codes go in wire order, block by block, leaving the page-line items of both
// menus to the end (184-187).
consteval std::array<std::uint8_t, kItemCount> AssignItemCodes() {
  std::array<std::uint8_t, kItemCount> codes{};
  int next = kFirstItemCode;
  for (const std::uint8_t item : kWireOrder) {
    if (kCatalogue[item].condition == Condition::kPageLengthIsLine) continue;
    codes[item] = static_cast<std::uint8_t>(next++);
  }
  codes[9] = static_cast<std::uint8_t>(next++);
  codes[10] = static_cast<std::uint8_t>(next++);
  codes[32] = static_cast<std::uint8_t>(next++);
  codes[33] = static_cast<std::uint8_t>(next++);
  return codes;
}

}  // namespace detail

inline constexpr std::array<std::uint8_t, kItemCount> kItemCodes = detail::AssignItemCodes();

// The labels of the report, by code from 101. Four differ from the keywords
// ("LINE-SP", "WORD-LD", "LOCL", "GATHRT"): the printer's own documentation
// names them so, and users match the report against it.
inline constexpr std::array<std::string_view, kLastItemCode - kFirstItemCode + 1> kReportLabels{
    // 101-121 MENU1, 122-142 MENU2
    "EMULATE", "FONT", "QUALITY", "PITCH", "LINE-SP", "CHAR-W", "CHAR-H", "ATTRIB", "PAGE LG",
    "LFT-END", "TOP-MRG", "LANGUGE", "CHR-SET", "AGM", "PRF-SKP", "WIDTH", "ZEROFNT", "DC3-CDE",
    "CR-CODE", "LF-CODE", "RGHTEND",  //
    "EMULATE", "FONT", "QUALITY", "PITCH", "LINE-SP", "CHAR-W", "CHAR-H", "ATTRIB", "PAGE LG",
    "LFT-END", "TOP-MRG", "LANGUGE", "CHR-SET", "AGM", "PRF-SKP", "WIDTH", "ZEROFNT", "DC3-CDE",
    "CR-CODE", "LF-CODE", "RGHTEND",
    // 143-156 HARDWARE
    "PPR-OUT", "PRT-DIR", "BUZZER", "WORD-LD", "BUFFER", "INTRFCE", "FORMAT", "BAUD-RT", "PROTOCL",
    "DSR", "DUPLEX", "CTS", "CD", "CSFTYPE",
    // 157-166 ADJUST
    "CNT-ORG", "CNTFINE", "CUT-ORG", "CUTFINE", "CNT-LFT", "CUT-LFT", "CUT-ADJ", "CSF-ADJ",
    "CNT-ADJ", "CNTADJL",
    // 167-183 CONFIG
    "TEAROFF", "TEARPOS", "TEAR-EN", "CUTLOAD", "LOADTIM", "DECODE", "AREACNT", "ON-LOAD", "LOCL",
    "//S//", "CONT-PE", "GATHRT", "CUT-CTL", "SKIP-PR", "STATUS", "BANDCTL", "TOF-CTL",
    // 184-187 the page-line items of MENU1, then MENU2
    "PG LX10", "PG LX1", "PG LX10", "PG LX1"};

constexpr int ItemCodeOf(ItemIndex item) { return kItemCodes[item]; }

// The report label of a code, or empty outside 101-187.
constexpr std::string_view ReportLabelOf(int code) {
  if (!IsItemCode(code)) return {};
  return kReportLabels[static_cast<std::size_t>(code - kFirstItemCode)];
}

static_assert(kItemCodes[0] == 101 && kItemCodes[22] == 121 && kItemCodes[23] == 122 &&
              kItemCodes[45] == 142 && kItemCodes[46] == 143 && kItemCodes[60] == 157 &&
              kItemCodes[70] == 167 && kItemCodes[kStatusItem] == 181 && kItemCodes[86] == 183);
static_assert(kItemCodes[9] == 184 && kItemCodes[10] == 185 && kItemCodes[32] == 186 &&
              kItemCodes[33] == 187);
static_assert(kItemCodes[42] == 138 && kItemCodes[41] == 139, "MENU2 ZEROFNT is coded first");
static_assert([] {
  // Every code names one item, and its label is that item's page label but
  // for the four that the printer's documentation spells differently.
  std::array<bool, kItemCount> seen{};
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    const int code = kItemCodes[item];
    if (!IsItemCode(code) || seen[static_cast<std::size_t>(code - kFirstItemCode)]) return false;
    seen[static_cast<std::size_t>(code - kFirstItemCode)] = true;
    const std::string_view label = ReportLabelOf(code);
    const std::string_view page = PageLabelOf(item);
    const bool spelledApart = (page == "WORD-LG" && label == "WORD-LD") ||
                              (page == "LOCK" && label == "LOCL") ||
                              (page == "GATHER" && label == "GATHRT");
    if (label != page && !spelledApart) return false;
  }
  return true;
}());

}  // namespace rovant
