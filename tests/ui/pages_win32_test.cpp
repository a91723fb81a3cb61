// The page procedures on real windows: the resource script's templates 163..167 created
// hidden with CreateDialogParam, a fake message box, selections made with CB_SETCURSEL and a
// WM_COMMAND(CBN_SELCHANGE) sent to the page.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/catalogue.hpp"
#include "protocol/app_state.hpp"
#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "ui/page_context.hpp"
#include "ui/page_layout.hpp"
#include "ui/page_rules.hpp"
#include "ui/win32/setting_pages.hpp"

namespace rovant::ui {
namespace {

using testing::CallLog;
using testing::FakeMessageBoxes;

const PageRow& RowOf(PageIndex page, std::string_view item) {
  for (const PageRow& row : PageAt(page).rows)
    if (row.item == item) return row;
  throw std::logic_error("no row");
}

std::string WindowText(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string ComboText(HWND page, ControlId combo) {
  const LRESULT sel = SendDlgItemMessageA(page, combo, CB_GETCURSEL, 0, 0);
  if (sel == CB_ERR) return {};
  char buffer[64] = {};
  SendDlgItemMessageA(page, combo, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                      reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

bool RowEnabled(HWND page, const PageRow& row) {
  const bool combo = IsWindowEnabled(GetDlgItem(page, row.comboId)) != FALSE;
  const bool label = IsWindowEnabled(GetDlgItem(page, row.labelId)) != FALSE;
  EXPECT_EQ(combo, label) << "combo and label of " << row.item << " differ";
  return combo && label;
}

class Win32Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    instance_ = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    main_ = CreateWindowExA(0, "STATIC", "ROVANT", WS_OVERLAPPED | WS_CAPTION, 0, 0, 600, 400,
                            nullptr, nullptr, instance_, nullptr);
    ASSERT_NE(main_, nullptr) << "no window can be created (no display driver?)";
    panel_ = CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", "", WS_CHILD, 0, 0, 580, 380, main_,
                             nullptr, instance_, nullptr);
    ASSERT_NE(panel_, nullptr);
    for (ControlId id : kTooltipButtons) {
      CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_TABSTOP, 0, 0, 50, 20, panel_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    }
    pages_.SetMainWindow(main_);
    pages_.SetPanel(panel_);
  }
  void TearDown() override {
    pages_.DestroyPagesExcept();
    if (main_ != nullptr) DestroyWindow(main_);
  }

  HWND Create(PageIndex page) {
    context_.currentPage = page;
    HWND window = pages_.CreatePage(page);
    EXPECT_NE(window, nullptr) << "template " << PageAt(page).templateId;
    return window;
  }

  // The user picks an entry: CB_SETCURSEL, then the notification the page reacts to.
  static void Pick(HWND page, ControlId combo, int position, UINT code = CBN_SELCHANGE) {
    HWND control = GetDlgItem(page, combo);
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(combo, code), reinterpret_cast<LPARAM>(control));
  }

  CallLog log_;
  FakeMessageBoxes boxes_{log_};
  AppState state_{};
  PageContext context_{state_, boxes_};
  HINSTANCE instance_ = nullptr;
  SettingPages pages_{context_, GetModuleHandleA(nullptr)};
  HWND main_ = nullptr;
  HWND panel_ = nullptr;
};

TEST_F(Win32Pages, EveryPageShowsTheRecordWithItsListsAndLabels) {
  for (std::uint8_t emulation : {kDpl24cPlus, kXl24e, kEscP2}) {
    state_.settings = kFactoryDefaults;
    ApplyEmulationReset(state_.settings, MenuBlock::kMenu1, emulation);
    ApplyEmulationReset(state_.settings, MenuBlock::kMenu2, emulation);
    for (const PageLayout& layout : kPages) {
      HWND page = Create(layout.index);
      ASSERT_NE(page, nullptr);
      EXPECT_EQ(pages_.PageWindow(layout.index), page);
      EXPECT_FALSE(IsWindowVisible(page));
      for (const PageRow& row : layout.rows) {
        SCOPED_TRACE(std::string(row.item));
        HWND combo = GetDlgItem(page, row.comboId);
        ASSERT_NE(combo, nullptr);
        const OptionList list = ListInForce(row.record, state_.settings);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(list.size()));
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), state_.settings[row.record]);
        EXPECT_EQ(ComboText(page, row.comboId), list[state_.settings[row.record]].view());
        EXPECT_EQ(WindowText(GetDlgItem(page, row.labelId)), row.item);
        const ItemInfo& info = kCatalogue[row.record];
        EXPECT_EQ(RowEnabled(page, row),
                  !info.readOnly && InEffect(row.record, state_.settings, ModelCode::kHx320));
      }
      DestroyWindow(page);
      EXPECT_EQ(pages_.PageWindow(layout.index), nullptr);
    }
  }
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Win32Pages, EmulateChangeShowsTheBoxAndResetsTheBlock) {
  state_.settings = kFactoryDefaults;
  state_.settings[30] = 3;  // MENU2 ATTRIB, another block
  state_.settings[60] = 5;  // ADJUST
  HWND page = Create(kMenu1Page);
  ASSERT_NE(page, nullptr);
  Pick(page, 1104, 7);  // LINE-SP "8 LPI  ": stored at once
  EXPECT_EQ(state_.settings[4], 7);
  EXPECT_TRUE(boxes_.shown.empty());

  Pick(page, 1100, kEscP2);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].owner, kNoWindow);
  EXPECT_EQ(boxes_.shown[0].style, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(boxes_.shown[0].icon, 0u);
  EXPECT_EQ(boxes_.shown[0].text, kEmulationChangedText);

  SettingsRecord expected = kFactoryDefaults;
  expected[30] = 3;
  expected[60] = 5;
  ApplyEmulationReset(expected, MenuBlock::kMenu1, kEscP2);
  EXPECT_EQ(state_.settings, expected);
  EXPECT_EQ(ComboText(page, 1104), "6 LPI  ");
  EXPECT_EQ(SendDlgItemMessageA(page, 1108, CB_GETCOUNT, 0, 0), 38);
  EXPECT_EQ(ComboText(page, 1108), "11.0 IN");
  EXPECT_EQ(ComboText(page, 1109), "60 LINE");
  EXPECT_EQ(ComboText(page, 1110), "6  LINE");
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "PG LX10")));
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "PG LX1")));
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "ZEROFNT")));
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "LF-CODE")));
  EXPECT_EQ(ComboText(page, 1114), "ITALIC ");

  // The close-up that follows the change finds EMULATE unchanged: no second box.
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(1100, CBN_CLOSEUP),
               reinterpret_cast<LPARAM>(GetDlgItem(page, 1100)));
  EXPECT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(state_.settings, expected);

  // "LINE   " in PAGE LG (position 37 under ESC/P2) enables PG LX10 and PG LX1 at once.
  Pick(page, 1108, 37);
  EXPECT_EQ(state_.settings[8], 37);
  EXPECT_TRUE(RowEnabled(page, RowOf(kMenu1Page, "PG LX10")));
  EXPECT_TRUE(RowEnabled(page, RowOf(kMenu1Page, "PG LX1")));
  Pick(page, 1108, 14);  // "11.0 IN"
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "PG LX10")));
}

TEST_F(Win32Pages, Menu2StoresZeroFontAt42AndDc3At41) {
  state_.settings = kFactoryDefaults;
  HWND page = Create(kMenu2Page);
  ASSERT_NE(page, nullptr);
  Pick(page, 1165, 1);  // ZEROFNT "SLASH  "
  EXPECT_EQ(state_.settings[42], 1);
  EXPECT_EQ(state_.settings[41], 0);
  Pick(page, 1166, 1, CBN_CLOSEUP);  // DC3-CDE "DISABLE"
  EXPECT_EQ(state_.settings[41], 1);
  EXPECT_EQ(state_.settings[18], 0);
  EXPECT_EQ(state_.settings[19], 0);
  // Other notifications are ignored.
  SendMessageA(GetDlgItem(page, 1150), CB_SETCURSEL, 0, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(1150, CBN_DROPDOWN),
               reinterpret_cast<LPARAM>(GetDlgItem(page, 1150)));
  EXPECT_EQ(state_.settings[26], 4);
}

TEST_F(Win32Pages, RefreshMessageReloadsAndIsNeverPassedOn) {
  state_.settings = kFactoryDefaults;
  HWND page = Create(kMenu1Page);
  ASSERT_NE(page, nullptr);
  ShowWindow(page, SW_SHOWNA);
  ASSERT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);

  ApplyEmulationReset(state_.settings, MenuBlock::kMenu1, kXl24e);
  state_.settings[8] = 14;  // PAGE LG "LINE   "
  pages_.RefreshCurrentPage();
  EXPECT_EQ(ComboText(page, 1100), "XL24E  ");
  EXPECT_EQ(SendDlgItemMessageA(page, 1101, CB_GETCOUNT, 0, 0), 18);
  EXPECT_EQ(SendDlgItemMessageA(page, 1105, CB_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(RowEnabled(page, RowOf(kMenu1Page, "PG LX10")));
  EXPECT_TRUE(RowEnabled(page, RowOf(kMenu1Page, "AGM")));
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "DC3-CDE")));
  // WM_SETREDRAW(FALSE) in default processing would have cleared WS_VISIBLE.
  EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessageA(page, WM_SETREDRAW, 0, 0), 0);
  EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Win32Pages, Hx310DisablesWidthAndCsfAdjustButStoresTheirValues) {
  state_.selectedPrinter.modelCode = ModelCode::kHx310;
  state_.settings = kFactoryDefaults;
  state_.settings[17] = 1;
  state_.settings[67] = 6;
  HWND page = Create(kMenu1Page);
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(RowEnabled(page, RowOf(kMenu1Page, "WIDTH")));
  EXPECT_EQ(ComboText(page, 1117), "11.0 IN");
  Pick(page, 1103, 5);
  EXPECT_EQ(state_.settings[17], 1);
  EXPECT_EQ(state_.settings[3], 5);

  HWND adjust = pages_.SwitchTo(kAdjustPage);
  ASSERT_NE(adjust, nullptr);
  EXPECT_FALSE(IsWindow(page));
  EXPECT_FALSE(RowEnabled(adjust, RowOf(kAdjustPage, "CSF-ADJ")));
  EXPECT_EQ(ComboText(adjust, 1228), "21 /360");
  state_.settings[67] = 0;
  pages_.StorePageSelections();
  EXPECT_EQ(state_.settings[67], 6);
}

TEST_F(Win32Pages, ConfigRulesAndStatus) {
  state_.settings = kFactoryDefaults;
  HWND page = Create(kConfigPage);
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(RowEnabled(page, RowOf(kConfigPage, "TEAR-EN")));
  EXPECT_TRUE(RowEnabled(page, RowOf(kConfigPage, "LOADTIM")));
  EXPECT_FALSE(RowEnabled(page, RowOf(kConfigPage, "STATUS")));
  Pick(page, 1258, 1);  // TEAROFF "AUTO   "
  EXPECT_EQ(state_.settings[70], 1);
  EXPECT_TRUE(RowEnabled(page, RowOf(kConfigPage, "TEAR-EN")));
  Pick(page, 1261, 1);  // CUTLOAD "BUTTON "
  EXPECT_EQ(state_.settings[73], 1);
  EXPECT_FALSE(RowEnabled(page, RowOf(kConfigPage, "LOADTIM")));
  Pick(page, 1266, 2);  // LOCK "ALL    ": only through StorePageSelections
  EXPECT_EQ(state_.settings[78], 0);
  pages_.StorePageSelections();
  EXPECT_EQ(state_.settings[78], 2);
  EXPECT_EQ(state_.settings[kStatusItem], 1);
  EXPECT_FALSE(RowEnabled(page, RowOf(kConfigPage, "STATUS")));
}

TEST_F(Win32Pages, HardwareReadOnlyRowsAndIgnoredSelections) {
  state_.settings = kFactoryDefaults;
  HWND page = Create(kHardwarePage);
  ASSERT_NE(page, nullptr);
  const auto& rows = PageAt(kHardwarePage).rows;
  for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(RowEnabled(page, rows[k]), k < 5);
  Pick(page, 1197, 7);  // BUFFER
  EXPECT_EQ(state_.settings[50], 3);
  pages_.RefreshCurrentPage();
  for (std::size_t k = 5; k < rows.size(); ++k) EXPECT_FALSE(RowEnabled(page, rows[k]));
  EXPECT_EQ(pages_.FirstControl(), GetDlgItem(page, 1193));
  EXPECT_EQ(pages_.LastControl(), GetDlgItem(page, 1197));
}

TEST_F(Win32Pages, ValidFocusTargetMovesToTheReadingButton) {
  state_.settings = kFactoryDefaults;
  ApplyEmulationReset(state_.settings, MenuBlock::kMenu1, kEscP2);
  HWND page = Create(kMenu1Page);
  ASSERT_NE(page, nullptr);
  HWND read = GetDlgItem(panel_, IDC_READ);
  EXPECT_EQ(pages_.ValidFocusTarget(GetDlgItem(page, 1118)), read);                    // ZEROFNT
  EXPECT_EQ(pages_.ValidFocusTarget(GetDlgItem(page, 1121)), read);                    // LF-CODE
  EXPECT_EQ(pages_.ValidFocusTarget(GetDlgItem(page, 1109)), read);                    // PG LX10
  EXPECT_EQ(pages_.ValidFocusTarget(GetDlgItem(page, 1117)), GetDlgItem(page, 1117));  // WIDTH
  EXPECT_EQ(pages_.ValidFocusTarget(GetDlgItem(page, 1100)), GetDlgItem(page, 1100));
  HWND transfer = GetDlgItem(panel_, IDC_TRANSFER);
  EXPECT_EQ(pages_.ValidFocusTarget(transfer), transfer);
  EXPECT_EQ(pages_.ValidFocusTarget(nullptr), nullptr);
}

TEST_F(Win32Pages, AttachTooltipsRegistersButtonsThenLabels) {
  state_.settings = kFactoryDefaults;
  for (const PageLayout& layout : kPages) {
    HWND page = pages_.SwitchTo(layout.index);
    ASSERT_NE(page, nullptr);
    HWND tip = pages_.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    char className[64] = {};
    GetClassNameA(tip, className, sizeof className);
    EXPECT_STREQ(className, TOOLTIPS_CLASSA);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), main_);
    const LONG style = GetWindowLongA(tip, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);

    const TooltipOrder order = TooltipToolsOf(layout);
    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(order.count));
    for (std::size_t i = 0; i < order.count; ++i) {
      const ControlId id = order.ids[i];
      HWND control = GetDlgItem(i < 4 ? panel_ : page, id);
      TOOLINFOA tool{};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)));
      EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(control)) << id;
      EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), TTF_IDISHWND | TTF_SUBCLASS);
      EXPECT_EQ(tool.hwnd, main_);
      // The text is the string resource whose id is the control id.
      char text[512] = {};
      EXPECT_GT(LoadStringA(instance_, id, text, sizeof text), 0) << "string " << id;
    }
    // Replaced on every call.
    pages_.AttachTooltips();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_NE(pages_.TooltipWindow(), nullptr);
  }
}

TEST_F(Win32Pages, SwitchToStoresTheOutgoingPage) {
  state_.settings = kFactoryDefaults;
  HWND adjust = pages_.SwitchTo(kAdjustPage);
  ASSERT_NE(adjust, nullptr);
  SendDlgItemMessageA(adjust, 1221, CB_SETCURSEL, 3, 0);  // CNT-ORG "3 /6 IN"
  EXPECT_EQ(state_.settings[60], 2);
  HWND config = pages_.SwitchTo(kConfigPage);
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(state_.settings[60], 3);
  EXPECT_FALSE(IsWindow(adjust));
  EXPECT_EQ(context_.currentPage, kConfigPage);
  HWND back = pages_.SwitchTo(kAdjustPage);
  EXPECT_EQ(ComboText(back, 1221), "3 /6 IN");
}

}  // namespace
}  // namespace rovant::ui
