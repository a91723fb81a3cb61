// The compiled resources of the program (resources/rovant.rc), read back from this test
// executable, which links the same resource object as rovant.exe: icons, dialog templates
// (parsed from their DLGTEMPLATEEX bytes), the pages created as dialogs, menu, accelerators,
// tooltip strings, version and manifest.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/resources/dialog_template.hpp"
#include "texts/command_texts.hpp"
#include "ui/page_layout.hpp"

namespace rovant::test {
namespace {

// ---- Resource access ----

LPCWSTR Ordinal(unsigned id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id)); }

constexpr unsigned kRtIcon = 3;
constexpr unsigned kRtDialog = 5;
constexpr unsigned kRtGroupIcon = 14;
constexpr unsigned kRtManifest = 24;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

std::span<const std::uint8_t> ResourceBytes(unsigned type, unsigned id) {
  HRSRC found = ::FindResourceW(Instance(), Ordinal(id), Ordinal(type));
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(Instance(), found);
  const DWORD size = ::SizeofResource(Instance(), found);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), size};
}

DialogTemplate TemplateOf(unsigned id) {
  const auto bytes = ResourceBytes(kRtDialog, id);
  EXPECT_FALSE(bytes.empty()) << "dialog template " << id << " is missing";
  std::string error;
  auto parsed = ParseDialogTemplateEx(bytes, &error);
  EXPECT_TRUE(parsed.has_value()) << "template " << id << ": " << error;
  return parsed.value_or(DialogTemplate{});
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::wstring LoadText(unsigned id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands back a read-only pointer into the resource.
  const int length = ::LoadStringW(Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return std::wstring(text, static_cast<std::size_t>(length));
}

constexpr DWORD kFrameStyles =
    WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU | DS_MODALFRAME | WS_POPUP;

void ExpectArial8(const DialogTemplate& t, unsigned id) {
  EXPECT_TRUE(t.hasFont) << id;
  EXPECT_TRUE(t.style & DS_SETFONT) << id;
  EXPECT_EQ(t.Typeface(), "Arial") << id;
  EXPECT_EQ(t.pointSize, 8) << id;
  EXPECT_EQ(t.x, 0) << id;
  EXPECT_EQ(t.y, 0) << id;
  EXPECT_EQ(t.menu.kind, NameOrOrdinal::Kind::kNone) << id;
  EXPECT_EQ(t.windowClass.kind, NameOrOrdinal::Kind::kNone) << id;
}

void ExpectRect(const DialogItem& item, int x, int y, int cx, int cy) {
  EXPECT_EQ(item.x, x) << "control " << item.id;
  EXPECT_EQ(item.y, y) << "control " << item.id;
  EXPECT_EQ(item.cx, cx) << "control " << item.id;
  EXPECT_EQ(item.cy, cy) << "control " << item.id;
}

// ---- Icons ----

constexpr std::array<unsigned, 9> kIcons{
    IDI_PRINTER,    IDI_PRINTER_ERROR, IDI_PRINTER_INFORMATION, IDI_PRINTER_WARNING, IDI_PRINTING_1,
    IDI_PRINTING_2, IDI_PRINTING_3,    IDI_PRINTING_4,          IDI_PRINTING_0};

TEST(ResourceIcons, IdsAreTheProgramsOwn) {
  EXPECT_EQ(kIcons, (std::array<unsigned, 9>{160, 187, 188, 189, 211, 213, 214, 215, 216}));
}

SIZE IconBitmapSize(HICON icon) {
  ICONINFO info{};
  SIZE size{0, 0};
  if (!::GetIconInfo(icon, &info)) return size;
  BITMAP bm{};
  HBITMAP bitmap = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
  if (::GetObjectW(bitmap, sizeof bm, &bm) == sizeof bm) {
    size.cx = bm.bmWidth;
    size.cy = info.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2;
  }
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
  return size;
}

TEST(ResourceIcons, EveryIconLoadsAt32And16) {
  for (unsigned id : kIcons) {
    for (int side : {32, 16}) {
      HANDLE image = ::LoadImageW(Instance(), Ordinal(id), IMAGE_ICON, side, side, 0);
      ASSERT_NE(image, nullptr) << "icon " << id << " at " << side;
      const SIZE size = IconBitmapSize(static_cast<HICON>(image));
      EXPECT_EQ(size.cx, side) << "icon " << id;
      EXPECT_EQ(size.cy, side) << "icon " << id;
      ::DestroyIcon(static_cast<HICON>(image));
    }
    EXPECT_NE(::LoadIconW(Instance(), Ordinal(id)), nullptr) << id;
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

TEST(ResourceIcons, EveryIconHas16Colour32And16PixelImages) {
  for (unsigned id : kIcons) {
    const auto group = ResourceBytes(kRtGroupIcon, id);
    ASSERT_GE(group.size(), 6u) << id;
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(header[0], 0) << id;
    EXPECT_EQ(header[1], 1) << id;
    ASSERT_EQ(header[2], 2) << "icon " << id << " holds a 32x32 and a 16x16 image";
    ASSERT_EQ(group.size(), 6u + 2 * sizeof(GroupIconEntry)) << id;
    for (int n = 0; n < 2; ++n) {
      GroupIconEntry e{};
      std::memcpy(&e, group.data() + 6 + n * sizeof e, sizeof e);
      const int side = n == 0 ? 32 : 16;
      EXPECT_EQ(e.width, side) << id;
      EXPECT_EQ(e.height, side) << id;
      EXPECT_EQ(e.colorCount, 16) << id;
      EXPECT_EQ(e.bitCount, 4) << id;
      const auto image = ResourceBytes(kRtIcon, e.id);
      ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << id;
      BITMAPINFOHEADER bih{};
      std::memcpy(&bih, image.data(), sizeof bih);
      EXPECT_EQ(bih.biWidth, side) << id;
      EXPECT_EQ(bih.biHeight, 2 * side) << id;
      EXPECT_EQ(bih.biBitCount, 4) << id;
      EXPECT_EQ(bih.biCompression, static_cast<DWORD>(BI_RGB)) << id;
      // header, 16 colours, 4-bit rows, 1-bit mask rows padded to 32 bits
      const std::size_t xorRow = static_cast<std::size_t>((side * 4 + 31) / 32 * 4);
      const std::size_t andRow = static_cast<std::size_t>((side + 31) / 32 * 4);
      EXPECT_EQ(image.size(), 40u + 64u + (xorRow + andRow) * static_cast<std::size_t>(side));
      EXPECT_EQ(e.bytesInRes, image.size()) << id;
    }
    // The platform picks the 32x32 image for a 32x32 request.
    const int picked = ::LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, 32, 32,
                                                     LR_DEFAULTCOLOR);
    const auto image = ResourceBytes(kRtIcon, static_cast<unsigned>(picked));
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << id;
    BITMAPINFOHEADER bih{};
    std::memcpy(&bih, image.data(), sizeof bih);
    EXPECT_EQ(bih.biWidth, 32) << id;
  }
}

// ---- Setting page templates: the design ----

struct Row {
  const char* item;
  unsigned label;
  unsigned combo;
  bool right;
  int row;
  int listHeight;
  bool scroll;
};

struct Page {
  unsigned templateId;
  std::vector<Row> rows;
};

std::vector<Row> MenuRows(bool menu2) {
  struct Shape {
    const char* item;
    bool right;
    int row;
    int listHeight;
    bool scroll;
  };
  static constexpr Shape kShape[23] = {
      {"EMULATE", false, 0, 48, false},  {"FONT", false, 1, 120, true},
      {"QUALITY", false, 2, 48, false},  {"PITCH", false, 3, 144, false},
      {"LINE-SP", false, 4, 108, false}, {"CHAR-W", false, 5, 48, false},
      {"CHAR-H", false, 6, 48, false},   {"ATTRIB", false, 7, 72, false},
      {"PAGE LG", false, 8, 120, true},  {"PG LX10", false, 9, 120, true},
      {"PG LX1", false, 10, 120, true},  {"LFT-END", false, 11, 120, true},
      {"TOP-MRG", true, 0, 132, false},  {"LANGUGE", true, 1, 120, true},
      {"CHR-SET", true, 2, 48, false},   {"AGM", true, 3, 48, false},
      {"PRF-SKP", true, 4, 48, false},   {"WIDTH", true, 5, 48, false},
      {"ZEROFNT", true, 6, 48, false},   {"DC3-CDE", true, 7, 48, false},
      {"CR-CODE", true, 8, 48, false},   {"LF-CODE", true, 9, 48, false},
      {"RGHTEND", true, 10, 48, false},
  };
  // MENU1 labels 1123..1132 and 1134..1146 (1133 unused), combos 1100..1122;
  // MENU2 labels 1170..1192, combos 1147..1169.
  static constexpr unsigned kMenu1Labels[23] = {1123, 1124, 1125, 1126, 1127, 1128, 1129, 1130,
                                                1131, 1132, 1134, 1135, 1136, 1137, 1138, 1139,
                                                1140, 1141, 1142, 1143, 1144, 1145, 1146};
  std::vector<Row> rows;
  for (unsigned k = 0; k < 23; ++k) {
    const Shape& s = kShape[k];
    rows.push_back({s.item, menu2 ? 1170 + k : kMenu1Labels[k], (menu2 ? 1147u : 1100u) + k,
                    s.right, s.row, s.listHeight, s.scroll});
  }
  return rows;
}

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = {
      {IDD_MENU1_PAGE, MenuRows(false)},
      {IDD_MENU2_PAGE, MenuRows(true)},
      {IDD_HARDWARE_PAGE,
       {{"PPR-OUT", 1207, 1193, false, 0, 48, false},
        {"PRT-DIR", 1208, 1194, false, 1, 48, false},
        {"BUZZER", 1209, 1195, false, 2, 48, false},
        {"WORD-LG", 1210, 1196, false, 3, 48, false},
        {"BUFFER", 1211, 1197, false, 4, 108, false},
        {"INTRFCE", 1212, 1198, false, 5, 120, false},
        {"FORMAT", 1213, 1199, false, 6, 132, false},
        {"BAUD-RT", 1214, 1200, false, 7, 108, false},
        {"PROTOCL", 1215, 1201, false, 8, 48, false},
        {"DSR", 1216, 1202, false, 9, 48, false},
        {"DUPLEX", 1217, 1203, false, 10, 48, false},
        {"CTS", 1218, 1204, false, 11, 48, false},
        {"CD", 1219, 1205, true, 0, 48, false},
        {"CSFTYPE", 1220, 1206, true, 1, 48, false}}},
      {IDD_ADJUST_PAGE,
       {{"CNT-ORG", 1231, 1221, false, 0, 120, true},
        {"CNTFINE", 1232, 1222, false, 1, 120, true},
        {"CUT-ORG", 1233, 1223, false, 2, 120, true},
        {"CUTFINE", 1234, 1224, false, 3, 120, true},
        {"CNT-LFT", 1235, 1225, false, 4, 120, true},
        {"CUT-LFT", 1236, 1226, false, 5, 120, true},
        {"CUT-ADJ", 1237, 1227, true, 0, 120, false},
        {"CSF-ADJ", 1238, 1228, true, 1, 96, false},
        {"CNT-ADJ", 1239, 1229, true, 2, 120, false},
        {"CNTADJL", 1240, 1230, true, 3, 96, false}}},
      {IDD_CONFIG_PAGE,
       {{"TEAROFF", 1241, 1258, false, 0, 48, false},
        {"TEARPOS", 1242, 1259, false, 1, 48, false},
        {"TEAR-EN", 1243, 1260, false, 2, 72, false},
        {"CUTLOAD", 1244, 1261, false, 3, 48, false},
        {"LOADTIM", 1245, 1262, false, 4, 84, false},
        {"DECODE", 1246, 1263, false, 5, 48, false},
        {"AREACNT", 1247, 1264, false, 6, 48, false},
        {"ON-LOAD", 1248, 1265, false, 7, 48, false},
        {"LOCK", 1249, 1266, false, 8, 48, false},
        {"//S//", 1250, 1267, false, 9, 48, false},
        {"CONT-PE", 1251, 1268, false, 10, 48, false},
        {"GATHER", 1252, 1269, false, 11, 48, false},
        {"CUT-CTL", 1253, 1270, true, 0, 48, false},
        {"SKIP-PR", 1254, 1271, true, 1, 48, false},
        {"STATUS", 1255, 1272, true, 2, 48, false},
        {"BANDCTL", 1256, 1273, true, 3, 48, false},
        {"TOF-CTL", 1257, 1274, true, 4, 48, false}}},
  };
  return pages;
}

void ExpectPageFrame(const DialogTemplate& t, unsigned id) {
  ExpectArial8(t, id);
  EXPECT_EQ(t.cx, 278) << id;
  EXPECT_EQ(t.cy, 168) << id;
  EXPECT_TRUE(t.style & WS_CHILD) << id;
  EXPECT_TRUE(t.style & DS_CONTROL) << id;
  EXPECT_EQ(t.style & kFrameStyles, 0u) << "page " << id << ": no caption, border or frame";
  EXPECT_EQ(t.style & WS_VISIBLE, 0u) << "page " << id << " is shown by the panel";
  EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_CONTROLPARENT)) << id;
  EXPECT_TRUE(t.title.empty()) << id;
}

void ExpectLabel(const DialogItem& label, unsigned id, std::string_view text, int x, int y) {
  EXPECT_EQ(label.id, id);
  EXPECT_EQ(label.ClassName(), "Static") << id;
  EXPECT_EQ(label.Text(), text) << id;
  ExpectRect(label, x, y, 40, 8);
  EXPECT_EQ(label.style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT)) << id;
  EXPECT_TRUE(label.style & SS_NOTIFY) << id;
  EXPECT_EQ(label.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(label.style & (WS_TABSTOP | WS_DISABLED | WS_BORDER), 0u) << id;
  EXPECT_EQ(label.exStyle, 0u) << id;
}

void ExpectCombo(const DialogItem& combo, unsigned id, int x, int y, int listHeight, bool scroll) {
  EXPECT_EQ(combo.id, id);
  EXPECT_EQ(combo.ClassName(), "ComboBox") << id;
  ExpectRect(combo, x, y, 65, listHeight);
  EXPECT_EQ(combo.style & 0x3u, static_cast<DWORD>(CBS_DROPDOWNLIST)) << id;
  EXPECT_EQ(combo.style & (CBS_SORT | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS),
            0u)
      << id;
  EXPECT_EQ(combo.style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP))
      << id;
  EXPECT_EQ((combo.style & WS_VSCROLL) != 0, scroll) << id;
  EXPECT_EQ((combo.style & CBS_DISABLENOSCROLL) != 0, scroll) << id;
  EXPECT_EQ(combo.style & (WS_DISABLED | WS_HSCROLL), 0u) << id;
}

TEST(PageTemplates, MatchTheDesignRowByRow) {
  for (const Page& page : Pages()) {
    SCOPED_TRACE("template " + std::to_string(page.templateId));
    const DialogTemplate t = TemplateOf(page.templateId);
    ExpectPageFrame(t, page.templateId);
    ASSERT_EQ(t.items.size(), 2 * page.rows.size());
    for (std::size_t k = 0; k < page.rows.size(); ++k) {
      const Row& row = page.rows[k];
      SCOPED_TRACE(row.item);
      const int labelX = row.right ? 150 : 1;
      const int comboX = row.right ? 199 : 50;
      // Tab order = table order: the items are label, combo, label, combo ... in table order.
      ExpectLabel(t.items[2 * k], row.label, row.item, labelX, 7 + 13 * row.row);
      ExpectCombo(t.items[2 * k + 1], row.combo, comboX, 5 + 13 * row.row, row.listHeight,
                  row.scroll);
    }
  }
}

TEST(PageTemplates, MatchThePageLayoutTable) {
  ASSERT_EQ(ui::kPages.size(), Pages().size());
  for (const ui::PageLayout& page : ui::kPages) {
    SCOPED_TRACE("template " + std::to_string(page.templateId));
    const DialogTemplate t = TemplateOf(page.templateId);
    EXPECT_EQ(t.cx, ui::kPageWidth);
    EXPECT_EQ(t.cy, ui::kPageHeight);
    EXPECT_EQ(t.Typeface(), ui::kPageFontName);
    EXPECT_EQ(t.pointSize, ui::kPageFontSize);
    ASSERT_EQ(t.items.size(), 2 * page.rows.size());
    for (std::size_t k = 0; k < page.rows.size(); ++k) {
      const ui::PageRow& row = page.rows[k];
      SCOPED_TRACE(std::string(row.item));
      const ui::UnitRect label = ui::LabelRect(row);
      const ui::UnitRect combo = ui::ComboRect(row);
      ExpectLabel(t.items[2 * k], row.labelId, row.item, label.x, label.y);
      EXPECT_EQ(t.items[2 * k].cx, label.cx);
      EXPECT_EQ(t.items[2 * k].cy, label.cy);
      ExpectCombo(t.items[2 * k + 1], row.comboId, combo.x, combo.y, combo.cy, row.scroll);
      EXPECT_EQ(t.items[2 * k + 1].cx, combo.cx);
    }
  }
}

TEST(PageTemplates, OwnTableAndPageLayoutAgree) {
  for (std::size_t p = 0; p < Pages().size(); ++p) {
    const Page& mine = Pages()[p];
    const ui::PageLayout& theirs = ui::kPages[p];
    EXPECT_EQ(mine.templateId, theirs.templateId);
    ASSERT_EQ(mine.rows.size(), theirs.rows.size());
    for (std::size_t k = 0; k < mine.rows.size(); ++k) {
      const Row& a = mine.rows[k];
      const ui::PageRow& b = theirs.rows[k];
      EXPECT_EQ(a.item, b.item);
      EXPECT_EQ(a.label, b.labelId) << a.item;
      EXPECT_EQ(a.combo, b.comboId) << a.item;
      EXPECT_EQ(a.right, b.column == ui::Column::kRight) << a.item;
      EXPECT_EQ(a.row, b.row) << a.item;
      EXPECT_EQ(a.listHeight, b.listHeight) << a.item;
      EXPECT_EQ(a.scroll, b.scroll) << a.item;
    }
  }
}

TEST(PageTemplates, ParserStaysInsideTruncatedTemplates) {
  const auto bytes = ResourceBytes(kRtDialog, IDD_MENU1_PAGE);
  ASSERT_FALSE(bytes.empty());
  ASSERT_TRUE(ParseDialogTemplateEx(bytes).has_value());
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    std::string error;
    EXPECT_FALSE(ParseDialogTemplateEx(bytes.first(n), &error).has_value()) << n;
    EXPECT_FALSE(error.empty()) << n;
  }
}

// ---- Pages created as dialogs ----

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class HiddenParent : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    parent_ = ::CreateWindowExW(0, L"STATIC", L"resources test", WS_OVERLAPPED, 0, 0, 600, 600,
                                nullptr, nullptr, Instance(), nullptr);
    ASSERT_NE(parent_, nullptr) << ::GetLastError();
  }
  void TearDown() override {
    if (parent_ != nullptr) ::DestroyWindow(parent_);
  }
  HWND parent_ = nullptr;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

TEST_F(HiddenParent, EveryPageCreatesWithItsCombosInTabOrder) {
  for (const Page& page : Pages()) {
    SCOPED_TRACE("template " + std::to_string(page.templateId));
    HWND dialog =
        ::CreateDialogParamW(Instance(), Ordinal(page.templateId), parent_, TrivialDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << ::GetLastError();
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(::GetParent(dialog), parent_);
    const LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    for (std::size_t k = 0; k < page.rows.size(); ++k) {
      const Row& row = page.rows[k];
      HWND combo = ::GetDlgItem(dialog, static_cast<int>(row.combo));
      HWND label = ::GetDlgItem(dialog, static_cast<int>(row.label));
      ASSERT_NE(combo, nullptr) << row.item;
      ASSERT_NE(label, nullptr) << row.item;
      EXPECT_EQ(::GetDlgCtrlID(combo), static_cast<int>(row.combo));
      EXPECT_EQ(Lower(ClassOf(combo)), "combobox") << row.item;
      EXPECT_EQ(Lower(ClassOf(label)), "static") << row.item;
      EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 0) << row.item;
      if (k + 1 < page.rows.size()) {
        HWND next = ::GetNextDlgTabItem(dialog, combo, FALSE);
        EXPECT_EQ(next, ::GetDlgItem(dialog, static_cast<int>(page.rows[k + 1].combo)))
            << "tab after " << row.item;
      }
    }
    ::DestroyWindow(dialog);
  }
}

TEST_F(HiddenParent, PanelCreatesWithTabControlAndButtons) {
  HWND panel = ::CreateDialogParamW(Instance(), Ordinal(IDD_PANEL), parent_, TrivialDialogProc, 0);
  ASSERT_NE(panel, nullptr) << ::GetLastError();
  EXPECT_EQ(Lower(ClassOf(::GetDlgItem(panel, IDC_TABS))), "systabcontrol32");
  for (int id : {IDC_READ, IDC_TRANSFER, IDC_INITIALIZE, IDC_FINISH})
    EXPECT_EQ(Lower(ClassOf(::GetDlgItem(panel, id))), "button") << id;
  EXPECT_EQ(LOWORD(::SendMessageW(panel, DM_GETDEFID, 0, 0)), IDC_READ);
  ::DestroyWindow(panel);
}

// ---- The other templates: panel, status, print finished, printer selection ----

TEST(OtherTemplates, Panel) {
  const DialogTemplate t = TemplateOf(IDD_PANEL);
  ExpectArial8(t, IDD_PANEL);
  EXPECT_EQ(t.cx, 295);
  EXPECT_EQ(t.cy, 245);
  EXPECT_TRUE(t.style & WS_CHILD);
  EXPECT_EQ(t.style & kFrameStyles, 0u);
  ASSERT_EQ(t.items.size(), 5u);
  const DialogItem& tabs = t.items[0];
  EXPECT_EQ(tabs.id, static_cast<unsigned>(IDC_TABS));
  EXPECT_EQ(Lower(tabs.ClassName()), "systabcontrol32");
  ExpectRect(tabs, 4, 0, 285, 201);
  EXPECT_TRUE(tabs.style & WS_TABSTOP);
  struct Button {
    unsigned id;
    const char* text;
    int x, y, cx, cy;
    bool isDefault;
  };
  const Button buttons[] = {{IDC_READ, "Reading (&R)", 150, 207, 60, 14, true},
                            {IDC_TRANSFER, "Transferring (&C)", 150, 224, 60, 15, false},
                            {IDC_INITIALIZE, "Initializing (&I)", 213, 207, 60, 14, false},
                            {IDC_FINISH, "Finish (&X)", 213, 224, 60, 14, false}};
  for (std::size_t k = 0; k < 4; ++k) {
    const DialogItem& item = t.items[k + 1];
    const Button& b = buttons[k];
    EXPECT_EQ(item.id, b.id);
    EXPECT_EQ(item.ClassName(), "Button");
    EXPECT_EQ(item.Text(), b.text);
    ExpectRect(item, b.x, b.y, b.cx, b.cy);
    EXPECT_EQ(item.style & BS_TYPEMASK,
              static_cast<DWORD>(b.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))
        << b.id;
    EXPECT_TRUE(item.style & WS_TABSTOP) << b.id;
  }
}

void ExpectIconControl(const DialogItem& item, unsigned icon) {
  EXPECT_EQ(item.ClassName(), "Static");
  EXPECT_EQ(item.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
  EXPECT_TRUE(item.title.IsOrdinal(static_cast<std::uint16_t>(icon))) << "shows icon " << icon;
}

TEST(OtherTemplates, StatusWindow) {
  const DialogTemplate t = TemplateOf(IDD_STATUS);
  ExpectArial8(t, IDD_STATUS);
  EXPECT_EQ(t.cx, 230);
  EXPECT_EQ(t.cy, 59);
  EXPECT_EQ(t.Title(), "ROVANT");
  EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | DS_CENTER),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_CENTER));
  EXPECT_EQ(t.style & (WS_CHILD | WS_SYSMENU), 0u);
  ASSERT_EQ(t.items.size(), 2u);
  ExpectIconControl(t.items[0], IDI_PRINTER);
  const DialogItem& text = t.items[1];
  EXPECT_EQ(text.id, static_cast<unsigned>(IDC_STATUS_TEXT));
  EXPECT_EQ(text.ClassName(), "Static");
  EXPECT_EQ(text.style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
  // The icon is at the left, the text to its right, both inside the dialog.
  EXPECT_LT(t.items[0].x, text.x);
  EXPECT_LE(text.x + text.cx, t.cx);
  EXPECT_LE(text.y + text.cy, t.cy);
  for (const DialogItem& item : t.items) EXPECT_NE(item.ClassName(), "Button");
}

TEST(OtherTemplates, PrinterSelection) {
  const DialogTemplate t = TemplateOf(IDD_PRINTER_SELECTION);
  ExpectArial8(t, IDD_PRINTER_SELECTION);
  EXPECT_EQ(t.cx, 187);
  EXPECT_EQ(t.cy, 139);
  EXPECT_EQ(t.Title(), "ROVANT");
  EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | DS_CENTER),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_CENTER));
  EXPECT_EQ(t.style & WS_SYSMENU, 0u) << "no system menu, no close box";
  ASSERT_EQ(t.items.size(), 5u);
  ExpectIconControl(t.items[0], IDI_PRINTER);
  EXPECT_LE(t.items[0].x, 10);
  EXPECT_LE(t.items[0].y, 10);
  EXPECT_EQ(t.items[1].ClassName(), "Static");
  EXPECT_EQ(t.items[1].Text(), "Select the printer and click OK.");
  const DialogItem& list = t.items[2];
  EXPECT_EQ(list.id, static_cast<unsigned>(IDC_PRINTER_LIST));
  EXPECT_EQ(Lower(list.ClassName()), "syslistview32");
  EXPECT_EQ(list.style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(list.style & LVS_SINGLESEL);
  EXPECT_TRUE(list.style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(list.style & WS_TABSTOP);
  EXPECT_EQ(t.items[3].id, static_cast<unsigned>(IDC_SELECTION_OK));
  EXPECT_EQ(t.items[3].Text(), "OK");
  EXPECT_EQ(t.items[3].style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(t.items[4].id, static_cast<unsigned>(IDC_SELECTION_CANCEL));
  EXPECT_EQ(t.items[4].Text(), "Cancel");
  EXPECT_EQ(t.items[4].style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
  for (const DialogItem& item : t.items) {
    EXPECT_LE(item.x + item.cx, t.cx) << item.id;
    EXPECT_LE(item.y + item.cy, t.cy) << item.id;
  }
}

TEST(OtherTemplates, PrintFinished) {
  const DialogTemplate t = TemplateOf(IDD_PRINT_FINISHED);
  ExpectArial8(t, IDD_PRINT_FINISHED);
  EXPECT_EQ(t.cx, 147);
  EXPECT_EQ(t.cy, 55);
  EXPECT_EQ(t.Title(), "ROVANT");
  EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | DS_CENTER),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_CENTER));
  ASSERT_EQ(t.items.size(), 3u);
  EXPECT_EQ(t.items[0].id, static_cast<unsigned>(IDC_PRINTING_ICON));
  ExpectIconControl(t.items[0], IDI_PRINTING_0);
  EXPECT_EQ(t.items[1].Text(), "Has printing finish?");
  EXPECT_EQ(t.items[2].id, static_cast<unsigned>(IDC_PRINTING_OK));
  EXPECT_EQ(t.items[2].Text(), "OK");
  EXPECT_EQ(t.items[2].ClassName(), "Button");
  for (const DialogItem& item : t.items) {
    EXPECT_LE(item.x + item.cx, t.cx) << item.id;
    EXPECT_LE(item.y + item.cy, t.cy) << item.id;
  }
}

// ---- Menu and accelerators ----

struct MenuEntry {
  const wchar_t* text;  // nullptr: separator
  unsigned id;
};

TEST(MainMenu, EveryEntryInOrder) {
  struct Popup {
    const wchar_t* text;
    std::vector<MenuEntry> entries;
  };
  const std::vector<Popup> expected = {
      {L"File (&F)",
       {{L"File Reading (&O)\tAlt+O", 40003},
        {L"Saving (&A)\tAlt+A", 40004},
        {L"List Printing (&P)\tAlt+P", 40020},
        {nullptr, 0},
        {L"Finish (&X)", 40001}}},
      {L"Setting (&S)",
       {{L"Reading (&R)\tAlt+R", 40002},
        {L"Transferring (&C)\tAlt+C", 40005},
        {L"Initializing (&I)\tAlt+I", 40006}}},
      {L"Help(&H)", {{L"Help(&H)", 40008}, {nullptr, 0}, {L"Version(&V)\tAlt+V", 40009}}},
  };
  HMENU menu = ::LoadMenuW(Instance(), Ordinal(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(expected.size()));
  const auto textAt = [](HMENU m, UINT pos) {
    wchar_t buffer[128] = {};
    ::GetMenuStringW(m, pos, buffer, 128, MF_BYPOSITION);
    return std::wstring(buffer);
  };
  for (UINT p = 0; p < expected.size(); ++p) {
    EXPECT_EQ(textAt(menu, p), expected[p].text);
    HMENU sub = ::GetSubMenu(menu, static_cast<int>(p));
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(::GetMenuItemCount(sub), static_cast<int>(expected[p].entries.size()));
    for (UINT i = 0; i < expected[p].entries.size(); ++i) {
      const MenuEntry& e = expected[p].entries[i];
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_ID;
      ASSERT_TRUE(::GetMenuItemInfoW(sub, i, TRUE, &info));
      if (e.text == nullptr) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << p << "/" << i;
        continue;
      }
      EXPECT_FALSE(info.fType & MFT_SEPARATOR) << p << "/" << i;
      EXPECT_EQ(info.wID, e.id);
      EXPECT_EQ(textAt(sub, i), e.text);
    }
  }
  ::DestroyMenu(menu);
}

TEST(Accelerators, EightAltKeys) {
  HACCEL table = ::LoadAcceleratorsW(Instance(), Ordinal(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  ACCEL entries[16] = {};
  ASSERT_EQ(::CopyAcceleratorTableW(table, nullptr, 0), 8);
  ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 16), 8);
  const std::pair<char, unsigned> expected[8] = {{'O', 40003}, {'A', 40004}, {'P', 40020},
                                                 {'X', 40001}, {'R', 40002}, {'C', 40005},
                                                 {'I', 40006}, {'V', 40009}};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(entries[k].key, static_cast<WORD>(expected[k].first)) << k;
    EXPECT_EQ(entries[k].cmd, expected[k].second) << k;
    // FNOINVERT is kept in the resource but not reported by every platform.
    EXPECT_EQ(entries[k].fVirt & ~FNOINVERT, FVIRTKEY | FALT) << k;
  }
  ::DestroyAcceleratorTable(table);
}

TEST(Accelerators, ResourceCarriesNoInvert) {
  // The raw table: 8-byte entries (flags, key, command, padding), the last flagged 0x80.
  HRSRC found = ::FindResourceW(Instance(), Ordinal(IDR_ACCELERATORS), Ordinal(9));
  ASSERT_NE(found, nullptr);
  const auto bytes = ResourceBytes(9, IDR_ACCELERATORS);
  ASSERT_EQ(bytes.size(), 8u * 8u);
  for (std::size_t k = 0; k < 8; ++k) {
    const unsigned flags = bytes[8 * k] & 0x7Fu;
    EXPECT_EQ(flags, static_cast<unsigned>(FVIRTKEY | FALT | FNOINVERT)) << k;
    EXPECT_EQ((bytes[8 * k] & 0x80) != 0, k == 7) << k;
  }
}

// ---- Tooltip texts ----

const std::vector<std::pair<unsigned, std::wstring>>& ExpectedStrings() {
  static const std::vector<std::pair<unsigned, std::wstring>> strings = [] {
    std::vector<std::pair<unsigned, std::wstring>> s = {
        {1053, L"Read the current printer settings and update the ROVANT display."},
        {1052, L"Initialize the ROVANT and Printer settings."},
        {1050, L"Transfer the settings to the printer and update the printer settings."},
        {1051, L"Finish ROVANT"},
    };
    const wchar_t* const menu[23] = {
        L"Select printer emulation",
        L"Select typestyle",
        L"Select visual print quality and printout speed",
        L"Select inter-character spacing",
        L"Select inter-line spacing",
        L"Select horizontal size of printed character",
        L"Select vertical size of printed character",
        L"Select style of printed characters ie, Bold,Shadow etc",
        L"Specify your paper length for form feed",
        L"Page length can be selected by line number.\nSet the number of 10 place digit.",
        L"Page length can be selected by line number.\nSet the number of 1 place digit.",
        L"Set physical left end position",
        L"Set top margin",
        L"Specify position of international characters in ASCII map",
        L"Select Character Set",
        L"Alternate Graphic mode",
        L"Specify whether printer should skip over perforations",
        L"Specify printer width (right margin)",
        L"Specify slashed or normal zeros",
        L"Enable or disable software printer select",
        L"Specify printers action on receipt of Carrige Return",
        L"Specify printers action on receipt of Line Feed",
        L"Specify printers action if text reaches right margin",
    };
    for (unsigned k = 0; k < 23; ++k) {
      s.emplace_back(k < 10 ? 1123 + k : 1124 + k, menu[k]);
      s.emplace_back(1170 + k, menu[k]);
    }
    const std::pair<unsigned, const wchar_t*> rest[] = {
        {1207, L"Specify how printer handles paper out condition"},
        {1208, L"Enable or disable Bi-directional printing (improve vertical lines)"},
        {1209, L"Enable or disable the printers internal buzzer"},
        {1210, L"Specify size of data characters presented to printer (7 or 8 bit)"},
        {1211, L"Specify tradeoff between printers input buffer & download buffer"},
        {1212, L"Interface selection"},
        {1213, L"RS232C data format selection"},
        {1214, L"Baud rate setting"},
        {1215, L"Buffer control protocol selection"},
        {1216, L"DSR signal selection"},
        {1217, L"Communication line selection"},
        {1218, L"CTS signal selection"},
        {1219, L"CD signal selection"},
        {1231, L"Set the TOF for continuous forms"},
        {1232, L"Fine-adjusts the TOF for continuous forms"},
        {1233, L"Set the TOF for single sheets"},
        {1234, L"Fine-adjusts the TOF for single sheets"},
        {1235, L"Fine-adjusts the left print start position for continuous forms"},
        {1236, L"Fine-adjusts the left print start position for single sheets"},
        {1237, L"Compensates the line spacing for feeding single sheets"},
        {1238, L"Compensates the line spacing for feeding sheet feeder"},
        {1239, L"Compensates the line apacing for feeding continuous form"},
        {1240, L"Compensates the line apacing for feeding continuous form for last page"},
        {1241, L"Enable or disable Auto Tear Off function"},
        {1242, L"Specify tearoff mode - choice depends on data printer receives"},
        {1243, L"Define delay period before Auto Tear Off"},
        {1244, L"Set the single sheet autoload function"},
        {1245, L"Set the autoload start time"},
        {1246, L"Change the command decode timing"},
        {1247, L"Set the area over detection control"},
        {1248, L"POST-loading status in offline mode"},
        {1249, L"Restrict access to set up functions from the control panel"},
        {1250, L"Set the //S// command control"},
        {1251, L"Set the timing of Paper end detection"},
        {1252, L"Set Ribbon protection function"},
        {1253, L"Set the paper tear off position check when using TEAR OFF SW"},
        {1254, L"Set skip when blank space exists in a line"},
        {1255, L"Set the status function"},
        {1256, L"Set \"BAND\" printing control"},
        {1257, L"Set amount control of upper end unfilled spaces"},
    };
    for (const auto& [id, text] : rest) s.emplace_back(id, text);
    return s;
  }();
  return strings;
}

TEST(TooltipStrings, EveryTextLoadsExactly) {
  EXPECT_EQ(ExpectedStrings().size(), 4u + 23u + 23u + 13u + 10u + 17u);
  for (const auto& [id, text] : ExpectedStrings()) EXPECT_EQ(LoadText(id), text) << id;
}

TEST(TooltipStrings, CsfTypeIsOneLineAboutTheSheetFeeder) {
  const std::wstring text = LoadText(1220);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
  EXPECT_NE(text.find(L"CSF"), std::wstring::npos);
  EXPECT_NE(text.find(L"ASF"), std::wstring::npos);
  EXPECT_NE(text.find(L"PAPRPRO"), std::wstring::npos);
  EXPECT_NE(text.find(L"sheet feeder"), std::wstring::npos);
}

TEST(TooltipStrings, EveryLabelAndButtonHasOne) {
  for (unsigned id : {IDC_TRANSFER, IDC_FINISH, IDC_INITIALIZE, IDC_READ})
    EXPECT_FALSE(LoadText(id).empty()) << id;
  for (const ui::PageLayout& page : ui::kPages)
    for (const ui::PageRow& row : page.rows) {
      EXPECT_FALSE(LoadText(row.labelId).empty()) << row.item;
      EXPECT_TRUE(LoadText(row.comboId).empty()) << "combos carry no tooltip: " << row.item;
    }
  EXPECT_TRUE(LoadText(1133).empty()) << "1133 is not a MENU1 label";
}

// ---- Version and manifest ----

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr ||
      length == 0)
    return {};
  std::wstring text(static_cast<const wchar_t*>(value), length);
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

TEST(Version, ReadsTwoPointZeroZero) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  // The resource and the version message name the same version.
  const std::wstring version = VersionString(block, L"ProductVersion");
  EXPECT_EQ(version, L"2.00");
  EXPECT_EQ(VersionString(block, L"FileVersion"), version);
  EXPECT_NE(msg::kVersion.find("ROVANT  V" + std::string(version.begin(), version.end()) + "\n"),
            std::string_view::npos);
  EXPECT_EQ(VersionString(block, L"ProductName"), L"ROVANT");
  EXPECT_EQ(VersionString(block, L"FileDescription"), L"Printer Utility");
}

TEST(Manifest, AsInvokerWithoutCommonControls) {
  const auto bytes = ResourceBytes(kRtManifest, 1);
  ASSERT_FALSE(bytes.empty());
  const std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  EXPECT_NE(text.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(text.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
  EXPECT_EQ(text.find("dependency"), std::string::npos);
}

}  // namespace
}  // namespace rovant::test
