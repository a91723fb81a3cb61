// The layout of the five setting pages: one constexpr table per page,
// shared by the page code and by the resource script's page templates.
//
// Design, for whoever writes or checks the dialog templates:
//   - Page template: kPageWidth x kPageHeight dialog units, font kPageFontName kPageFontSize pt,
//     WS_CHILD without caption or border, DS_CONTROL, extended style WS_EX_CONTROLPARENT.
//   - Every row is a static label followed by its combo, in the order of the table (the tab
//     order: left column top to bottom, then the right column).
//       label: LTEXT (SS_LEFT | SS_NOTIFY), text = row.item (the catalogue's page label),
//              at (LabelX(column), LabelY(row)), kLabelWidth x kLabelHeight.
//       combo: CBS_DROPDOWNLIST | WS_TABSTOP (not sorted), at (ComboX(column), ComboY(row)),
//              kComboWidth wide, height = row.listHeight (the dropped list); when row.scroll
//              also WS_VSCROLL | CBS_DISABLENOSCROLL.
//   - A label's control id is also the string-table id of its tooltip text.
// Portable: no platform headers besides the plain-macro resource ids.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/catalogue.hpp"
#include "model/settings_record.hpp"
#include "resources/resource_ids.h"

namespace rovant::ui {

using ControlId = std::uint16_t;

inline constexpr std::size_t kPageCount = 5;
enum PageIndex : std::uint8_t {
  kMenu1Page = 0,
  kMenu2Page,
  kHardwarePage,
  kAdjustPage,
  kConfigPage
};

enum class Column : std::uint8_t { kLeft, kRight };

// One row of a page: the label and the combo that show one record byte.
struct PageRow {
  std::uint8_t record;       // index into the SettingsRecord (0..86)
  ControlId labelId;         // static label; also the tooltip string id
  ControlId comboId;         // drop-down list
  Column column;             // left or right
  std::uint8_t row;          // 0-based row within its column
  std::uint16_t listHeight;  // dropped list height, dialog units
  bool scroll;               // WS_VSCROLL | CBS_DISABLENOSCROLL
  std::string_view item;     // the page label (label text); equals the catalogue's pageLabel
};

// ---- Geometry (dialog units) ----

inline constexpr int kPageWidth = 278;
inline constexpr int kPageHeight = 168;
inline constexpr std::string_view kPageFontName = "Arial";
inline constexpr int kPageFontSize = 8;
inline constexpr int kLabelWidth = 40;
inline constexpr int kLabelHeight = 8;
inline constexpr int kComboWidth = 65;
inline constexpr int kRowPitch = 13;

constexpr int LabelX(Column c) { return c == Column::kLeft ? 1 : 150; }
constexpr int ComboX(Column c) { return c == Column::kLeft ? 50 : 199; }
constexpr int LabelY(int row) { return 7 + kRowPitch * row; }
constexpr int ComboY(int row) { return 5 + kRowPitch * row; }
constexpr int LabelX(const PageRow& r) { return LabelX(r.column); }
constexpr int ComboX(const PageRow& r) { return ComboX(r.column); }
constexpr int LabelY(const PageRow& r) { return LabelY(r.row); }
constexpr int ComboY(const PageRow& r) { return ComboY(r.row); }

namespace layout_detail {

inline constexpr Column L = Column::kLeft;
inline constexpr Column R = Column::kRight;

// MENU1 and MENU2 share one layout; ids and record indices differ (see MenuRows).
struct MenuRowShape {
  std::uint8_t offset;  // row k of the table, the MENU1 record index
  Column column;
  std::uint8_t row;
  std::uint16_t listHeight;
  bool scroll;
  std::string_view item;
};

inline constexpr std::array<MenuRowShape, 23> kMenuShape{{
    {0, L, 0, 48, false, "EMULATE"},   {1, L, 1, 120, true, "FONT"},
    {2, L, 2, 48, false, "QUALITY"},   {3, L, 3, 144, false, "PITCH"},
    {4, L, 4, 108, false, "LINE-SP"},  {5, L, 5, 48, false, "CHAR-W"},
    {6, L, 6, 48, false, "CHAR-H"},    {7, L, 7, 72, false, "ATTRIB"},
    {8, L, 8, 120, true, "PAGE LG"},   {9, L, 9, 120, true, "PG LX10"},
    {10, L, 10, 120, true, "PG LX1"},  {11, L, 11, 120, true, "LFT-END"},
    {12, R, 0, 132, false, "TOP-MRG"}, {13, R, 1, 120, true, "LANGUGE"},
    {14, R, 2, 48, false, "CHR-SET"},  {15, R, 3, 48, false, "AGM"},
    {16, R, 4, 48, false, "PRF-SKP"},  {17, R, 5, 48, false, "WIDTH"},
    {18, R, 6, 48, false, "ZEROFNT"},  {19, R, 7, 48, false, "DC3-CDE"},
    {20, R, 8, 48, false, "CR-CODE"},  {21, R, 9, 48, false, "LF-CODE"},
    {22, R, 10, 48, false, "RGHTEND"},
}};

// MENU1: labels 1123..1132 then 1134..1146 (1133 is skipped), combos 1100..1122.
// MENU2: labels 1170..1192, combos 1147..1169; ZEROFNT (row 18) shows record 42 and
// DC3-CDE (row 19) record 41.
consteval std::array<PageRow, 23> MenuRows(bool menu2) {
  std::array<PageRow, 23> out{};
  for (std::size_t k = 0; k < 23; ++k) {
    const MenuRowShape& s = kMenuShape[k];
    PageRow r{};
    if (!menu2) {
      r.record = s.offset;
      r.labelId = static_cast<ControlId>(k < 10 ? 1123 + k : 1124 + k);
      r.comboId = static_cast<ControlId>(1100 + k);
    } else {
      r.record = static_cast<std::uint8_t>(k == 18 ? 42 : k == 19 ? 41 : 23 + k);
      r.labelId = static_cast<ControlId>(1170 + k);
      r.comboId = static_cast<ControlId>(1147 + k);
    }
    r.column = s.column;
    r.row = s.row;
    r.listHeight = s.listHeight;
    r.scroll = s.scroll;
    r.item = s.item;
    out[k] = r;
  }
  return out;
}

}  // namespace layout_detail

inline constexpr std::array<PageRow, 23> kMenu1Rows = layout_detail::MenuRows(false);
inline constexpr std::array<PageRow, 23> kMenu2Rows = layout_detail::MenuRows(true);

inline constexpr std::array<PageRow, 14> kHardwareRows{{
    {46, 1207, 1193, Column::kLeft, 0, 48, false, "PPR-OUT"},
    {47, 1208, 1194, Column::kLeft, 1, 48, false, "PRT-DIR"},
    {48, 1209, 1195, Column::kLeft, 2, 48, false, "BUZZER"},
    {49, 1210, 1196, Column::kLeft, 3, 48, false, "WORD-LG"},
    {50, 1211, 1197, Column::kLeft, 4, 108, false, "BUFFER"},
    {51, 1212, 1198, Column::kLeft, 5, 120, false, "INTRFCE"},
    {52, 1213, 1199, Column::kLeft, 6, 132, false, "FORMAT"},
    {53, 1214, 1200, Column::kLeft, 7, 108, false, "BAUD-RT"},
    {54, 1215, 1201, Column::kLeft, 8, 48, false, "PROTOCL"},
    {55, 1216, 1202, Column::kLeft, 9, 48, false, "DSR"},
    {56, 1217, 1203, Column::kLeft, 10, 48, false, "DUPLEX"},
    {57, 1218, 1204, Column::kLeft, 11, 48, false, "CTS"},
    {58, 1219, 1205, Column::kRight, 0, 48, false, "CD"},
    {59, 1220, 1206, Column::kRight, 1, 48, false, "CSFTYPE"},
}};

inline constexpr std::array<PageRow, 10> kAdjustRows{{
    {60, 1231, 1221, Column::kLeft, 0, 120, true, "CNT-ORG"},
    {61, 1232, 1222, Column::kLeft, 1, 120, true, "CNTFINE"},
    {62, 1233, 1223, Column::kLeft, 2, 120, true, "CUT-ORG"},
    {63, 1234, 1224, Column::kLeft, 3, 120, true, "CUTFINE"},
    {64, 1235, 1225, Column::kLeft, 4, 120, true, "CNT-LFT"},
    {65, 1236, 1226, Column::kLeft, 5, 120, true, "CUT-LFT"},
    {66, 1237, 1227, Column::kRight, 0, 120, false, "CUT-ADJ"},
    {67, 1238, 1228, Column::kRight, 1, 96, false, "CSF-ADJ"},
    {68, 1239, 1229, Column::kRight, 2, 120, false, "CNT-ADJ"},
    {69, 1240, 1230, Column::kRight, 3, 96, false, "CNTADJL"},
}};

inline constexpr std::array<PageRow, 17> kConfigRows{{
    {70, 1241, 1258, Column::kLeft, 0, 48, false, "TEAROFF"},
    {71, 1242, 1259, Column::kLeft, 1, 48, false, "TEARPOS"},
    {72, 1243, 1260, Column::kLeft, 2, 72, false, "TEAR-EN"},
    {73, 1244, 1261, Column::kLeft, 3, 48, false, "CUTLOAD"},
    {74, 1245, 1262, Column::kLeft, 4, 84, false, "LOADTIM"},
    {75, 1246, 1263, Column::kLeft, 5, 48, false, "DECODE"},
    {76, 1247, 1264, Column::kLeft, 6, 48, false, "AREACNT"},
    {77, 1248, 1265, Column::kLeft, 7, 48, false, "ON-LOAD"},
    {78, 1249, 1266, Column::kLeft, 8, 48, false, "LOCK"},
    {79, 1250, 1267, Column::kLeft, 9, 48, false, "//S//"},
    {80, 1251, 1268, Column::kLeft, 10, 48, false, "CONT-PE"},
    {81, 1252, 1269, Column::kLeft, 11, 48, false, "GATHER"},
    {82, 1253, 1270, Column::kRight, 0, 48, false, "CUT-CTL"},
    {83, 1254, 1271, Column::kRight, 1, 48, false, "SKIP-PR"},
    {84, 1255, 1272, Column::kRight, 2, 48, false, "STATUS"},
    {85, 1256, 1273, Column::kRight, 3, 48, false, "BANDCTL"},
    {86, 1257, 1274, Column::kRight, 4, 48, false, "TOF-CTL"},
}};

// ---- Pages ----

struct PageLayout {
  PageIndex index;                // CurrentPage value, tab index
  MenuBlock block;                // the record block the page shows
  ControlId templateId;           // its dialog template (IDD_..._PAGE)
  std::string_view tabText;       // tab text, eight characters blank-padded
  std::span<const PageRow> rows;  // in tab order
  ControlId firstAnchor;          // KeyboardHook: first combo of the page
  ControlId lastAnchor;           // KeyboardHook: last combo that can be enabled
};

inline constexpr std::array<PageLayout, kPageCount> kPages{{
    {kMenu1Page, MenuBlock::kMenu1, IDD_MENU1_PAGE, "MENU1   ", kMenu1Rows, 1100, 1122},
    {kMenu2Page, MenuBlock::kMenu2, IDD_MENU2_PAGE, "MENU2   ", kMenu2Rows, 1147, 1169},
    {kHardwarePage, MenuBlock::kHardware, IDD_HARDWARE_PAGE, "HARDWARE", kHardwareRows, 1193, 1197},
    {kAdjustPage, MenuBlock::kAdjust, IDD_ADJUST_PAGE, "ADJUST  ", kAdjustRows, 1221, 1230},
    {kConfigPage, MenuBlock::kConfig, IDD_CONFIG_PAGE, "CONFIG  ", kConfigRows, 1258, 1274},
}};

constexpr const PageLayout& PageAt(std::size_t page) { return kPages[page]; }

// The position in page.rows of the row whose combo (label) has this id, or -1.
constexpr int IndexOfCombo(const PageLayout& page, int comboId) {
  for (std::size_t k = 0; k < page.rows.size(); ++k)
    if (page.rows[k].comboId == comboId) return static_cast<int>(k);
  return -1;
}
constexpr int IndexOfLabel(const PageLayout& page, int labelId) {
  for (std::size_t k = 0; k < page.rows.size(); ++k)
    if (page.rows[k].labelId == labelId) return static_cast<int>(k);
  return -1;
}

// The row whose combo (or, with FindRowByLabel, label) has this id on the page; nullptr if none.
constexpr const PageRow* FindRowByCombo(const PageLayout& page, int comboId) {
  for (const PageRow& r : page.rows)
    if (r.comboId == comboId) return &r;
  return nullptr;
}
constexpr const PageRow* FindRowByLabel(const PageLayout& page, int labelId) {
  for (const PageRow& r : page.rows)
    if (r.labelId == labelId) return &r;
  return nullptr;
}
// The row of the page that shows this record index; nullptr if the page does not show it.
constexpr const PageRow* FindRowByRecord(const PageLayout& page, std::size_t record) {
  for (const PageRow& r : page.rows)
    if (r.record == record) return &r;
  return nullptr;
}
// The row of a MENU page at this MENU1 offset (table position k; 0 = EMULATE, 8 = PAGE LG ...).
constexpr const PageRow& MenuRow(const PageLayout& page, std::size_t k) { return page.rows[k]; }

// ---- Tooltips (AttachTooltips) ----

// The panel's buttons, registered first, in this order: Reading, Initializing, Transferring,
// Finish. Then the page's labels in row order.
inline constexpr std::array<ControlId, 4> kTooltipButtons{IDC_READ, IDC_INITIALIZE, IDC_TRANSFER,
                                                          IDC_FINISH};
inline constexpr std::size_t kMaxTooltipTools = kTooltipButtons.size() + 23;

struct TooltipOrder {
  std::array<ControlId, kMaxTooltipTools> ids{};
  std::size_t count = 0;
  [[nodiscard]] constexpr std::span<const ControlId> view() const { return {ids.data(), count}; }
};

constexpr TooltipOrder TooltipToolsOf(const PageLayout& page) {
  TooltipOrder out;
  for (ControlId id : kTooltipButtons) out.ids[out.count++] = id;
  for (const PageRow& r : page.rows) out.ids[out.count++] = r.labelId;
  return out;
}

// The dialog-unit rectangle of the two controls of a row, for tests of the templates.
struct UnitRect {
  int x, y, cx, cy;
  friend constexpr bool operator==(const UnitRect&, const UnitRect&) = default;
};
constexpr UnitRect LabelRect(const PageRow& r) {
  return {LabelX(r), LabelY(r), kLabelWidth, kLabelHeight};
}
constexpr UnitRect ComboRect(const PageRow& r) {
  return {ComboX(r), ComboY(r), kComboWidth, r.listHeight};
}

// ---- Checks on the tables ----

namespace layout_detail {

constexpr std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

consteval bool EveryRecordIndexOnce() {
  std::array<int, kItemCount> seen{};
  std::size_t rows = 0;
  for (const PageLayout& p : kPages) {
    for (const PageRow& r : p.rows) {
      if (r.record >= kItemCount) return false;
      ++seen[r.record];
      ++rows;
    }
  }
  if (rows != kItemCount) return false;
  for (int n : seen)
    if (n != 1) return false;
  return true;
}

consteval bool RowsMatchCatalogue() {
  for (const PageLayout& p : kPages) {
    const BlockInfo& block = InfoOf(p.block);
    if (p.rows.size() != block.count) return false;
    for (std::size_t k = 0; k < p.rows.size(); ++k) {
      const PageRow& r = p.rows[k];
      if (BlockOf(r.record) != p.block) return false;
      const ItemInfo& info = kCatalogue[r.record];
      if (r.item != info.pageLabel) return false;
      // The keyword (wire name) agrees with the row's label, LINE SP/LINE-SP apart.
      if (!info.keyword.empty()) {
        const std::string_view kw = Trimmed(info.keyword);
        if (kw != r.item && !(kw == "LINE SP" && r.item == "LINE-SP")) return false;
      } else if (r.item != "STATUS") {
        return false;
      }
      // Apart from MENU2's ZEROFNT/DC3-CDE swap, row k shows the k-th record of its block.
      if (p.block != MenuBlock::kMenu2 || (k != 18 && k != 19)) {
        if (r.record != block.first + k) return false;
      }
    }
  }
  return true;
}

consteval bool IdsUniqueAndOrdered() {
  // Every label and combo id differs from every other; tab order is left column top to bottom,
  // then right column.
  std::array<int, 2 * kItemCount> ids{};
  std::size_t n = 0;
  for (const PageLayout& p : kPages) {
    int lastRow = -1;
    bool right = false;
    for (const PageRow& r : p.rows) {
      if (r.column == Column::kRight && !right) {
        right = true;
        lastRow = -1;
      } else if (r.column == Column::kLeft && right) {
        return false;
      }
      if (r.row != lastRow + 1) return false;
      lastRow = r.row;
      ids[n++] = r.labelId;
      ids[n++] = r.comboId;
    }
  }
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      if (ids[i] == ids[j]) return false;
  return true;
}

consteval bool RowsFitThePage() {
  for (const PageLayout& p : kPages) {
    for (const PageRow& r : p.rows) {
      if (LabelX(r) + kLabelWidth > ComboX(r)) return false;
      if (ComboX(r) + kComboWidth > kPageWidth) return false;
      if (LabelY(r) + kLabelHeight > kPageHeight) return false;
    }
  }
  return true;
}

consteval bool AnchorsAreRows() {
  for (const PageLayout& p : kPages) {
    if (p.rows.front().comboId != p.firstAnchor) return false;
    const int last = IndexOfCombo(p, p.lastAnchor);
    if (last < 0) return false;
    // The last anchor is the last row that can be enabled (read-only rows follow it).
    if (kCatalogue[p.rows[static_cast<std::size_t>(last)].record].readOnly) return false;
    for (std::size_t k = static_cast<std::size_t>(last) + 1; k < p.rows.size(); ++k)
      if (!kCatalogue[p.rows[k].record].readOnly) return false;
  }
  return true;
}

}  // namespace layout_detail

static_assert(kMenu1Rows.size() + kMenu2Rows.size() + kHardwareRows.size() + kAdjustRows.size() +
                      kConfigRows.size() ==
                  87,
              "87 rows in all");
static_assert(layout_detail::EveryRecordIndexOnce(), "every record index 0..86 exactly once");
static_assert(layout_detail::RowsMatchCatalogue(),
              "each row's item (label text) and keyword equal the catalogue's");
static_assert(layout_detail::IdsUniqueAndOrdered(), "unique ids, tab order by column and row");
static_assert(layout_detail::RowsFitThePage());
static_assert(layout_detail::AnchorsAreRows());

static_assert(kMenu2Rows[IndexOfCombo(kPages[kMenu2Page], 1165)].record == 42 &&
                  kMenu2Rows[IndexOfCombo(kPages[kMenu2Page], 1165)].item == "ZEROFNT",
              "MENU2 ZEROFNT combo 1165 shows record 42");
static_assert(kMenu2Rows[IndexOfCombo(kPages[kMenu2Page], 1166)].record == 41 &&
                  kMenu2Rows[IndexOfCombo(kPages[kMenu2Page], 1166)].item == "DC3-CDE",
              "MENU2 DC3-CDE combo 1166 shows record 41");
static_assert(kMenu1Rows[IndexOfCombo(kPages[kMenu1Page], 1118)].record == 18 &&
              kMenu1Rows[IndexOfCombo(kPages[kMenu1Page], 1119)].record == 19);
static_assert(
    [] {
      // MENU1 labels: 1123..1132, 1134..1146; 1133 is not used.
      if (IndexOfLabel(kPages[kMenu1Page], 1133) != -1) return false;
      for (std::size_t k = 0; k < 23; ++k) {
        const int expected = k < 10 ? 1123 + static_cast<int>(k) : 1124 + static_cast<int>(k);
        if (kMenu1Rows[k].labelId != expected || kMenu1Rows[k].comboId != 1100 + k) return false;
        if (kMenu2Rows[k].labelId != 1170 + k || kMenu2Rows[k].comboId != 1147 + k) return false;
      }
      return true;
    }(),
    "MENU1 label ids skip 1133");
static_assert(kMenu1Rows[0].item == "EMULATE" && kMenu1Rows[8].item == "PAGE LG" &&
              kMenu1Rows[12].column == Column::kRight && kMenu1Rows[12].row == 0);
static_assert(LabelRect(kMenu1Rows[0]) == UnitRect{1, 7, 40, 8} &&
              ComboRect(kMenu1Rows[0]) == UnitRect{50, 5, 65, 48});
static_assert(LabelRect(kMenu1Rows[22]) == UnitRect{150, 137, 40, 8} &&
              ComboRect(kMenu1Rows[22]) == UnitRect{199, 135, 65, 48});
static_assert(ComboRect(kMenu1Rows[11]) == UnitRect{50, 148, 65, 120});
static_assert(kPages[0].templateId == 163 && kPages[1].templateId == 164 &&
              kPages[2].templateId == 165 && kPages[3].templateId == 166 &&
              kPages[4].templateId == 167);
static_assert(kPages[0].firstAnchor == 1100 && kPages[0].lastAnchor == 1122 &&
              kPages[1].firstAnchor == 1147 && kPages[1].lastAnchor == 1169 &&
              kPages[2].firstAnchor == 1193 && kPages[2].lastAnchor == 1197 &&
              kPages[3].firstAnchor == 1221 && kPages[3].lastAnchor == 1230 &&
              kPages[4].firstAnchor == 1258 && kPages[4].lastAnchor == 1274);
static_assert(
    [] {
      for (std::size_t i = 0; i < kPageCount; ++i) {
        if (kPages[i].index != i || kPages[i].tabText.size() != 8) return false;
        if (layout_detail::Trimmed(kPages[i].tabText) != InfoOf(kPages[i].block).tabName)
          return false;
      }
      return true;
    }(),
    "tab texts are the block names padded to eight characters");
static_assert(
    [] {
      const TooltipOrder m1 = TooltipToolsOf(kPages[kMenu1Page]);
      if (m1.count != 27 || m1.ids[0] != 1053 || m1.ids[1] != 1052 || m1.ids[2] != 1050 ||
          m1.ids[3] != 1051 || m1.ids[4] != 1123 || m1.ids[13] != 1132 || m1.ids[14] != 1134 ||
          m1.ids[26] != 1146)
        return false;
      const TooltipOrder hw = TooltipToolsOf(kPages[kHardwarePage]);
      if (hw.count != 18 || hw.ids[4] != 1207 || hw.ids[17] != 1220) return false;
      const TooltipOrder cf = TooltipToolsOf(kPages[kConfigPage]);
      return cf.count != 21 ? false : cf.ids[4] == 1241 && cf.ids[20] == 1257;
    }(),
    "AttachTooltips order: buttons 1053 1052 1050 1051, then the page's labels");

}  // namespace rovant::ui
