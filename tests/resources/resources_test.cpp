// The compiled resources of rovant.exe, read back from this test executable, which links them:
// every template created for real and measured against ui/page_layout.hpp, the menu against its
// accelerators and the panel's buttons, the icons, version and manifest.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "resources/resource_ids.h"
#include "rovant_version.h"
#include "texts/messages.hpp"
#include "ui/page_layout.hpp"

namespace rovant::test {
namespace {

LPCWSTR Ordinal(unsigned id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id)); }
HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

std::string TextOf(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

bool HasText(unsigned id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands back a read-only pointer into the resource.
  return ::LoadStringW(Instance(), id, reinterpret_cast<LPWSTR>(&text), 0) > 0;
}

DWORD Style(HWND window, int which = GWL_STYLE) {
  return static_cast<DWORD>(::GetWindowLongPtrW(window, which));
}

bool Same(RECT a, RECT b) { return ::EqualRect(&a, &b) != FALSE; }

RECT RectIn(HWND dialog, HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A rectangle in dialog units, in pixels as the dialog manager converts it: position and size
// each on their own.
RECT DialogUnits(HWND dialog, ui::UnitRect r) {
  RECT rect{r.x, r.y, r.cx, r.cy};
  ::MapDialogRect(dialog, &rect);
  return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> out;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    out.push_back(c);
  return out;
}

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Templates created as dialogs under a hidden parent, destroyed at the end.
class Created : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    parent_ = ::CreateWindowExW(0, L"STATIC", L"resources test", WS_OVERLAPPED, 0, 0, 600, 600,
                                nullptr, nullptr, Instance(), nullptr);
    ASSERT_NE(parent_, nullptr) << ::GetLastError();
  }
  void TearDown() override {
    for (HWND d : dialogs_) ::DestroyWindow(d);
    ::DestroyWindow(parent_);
  }
  HWND Create(unsigned id, bool child) {
    HWND d = ::CreateDialogParamW(Instance(), Ordinal(id), child ? parent_ : nullptr,
                                  TrivialDialogProc, 0);
    EXPECT_NE(d, nullptr) << "template " << id << ": " << ::GetLastError();
    if (d != nullptr) dialogs_.push_back(d);
    return d;
  }
  HWND parent_ = nullptr;
  std::vector<HWND> dialogs_;
};

TEST_F(Created, EveryPageIsItsLayoutRowByRow) {
  LONG fieldHeight = 0;
  for (const ui::PageLayout& layout : ui::kPages) {
    SCOPED_TRACE(std::string(layout.tabText));
    HWND page = Create(layout.templateId, true);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Style(page) & (WS_CHILD | WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_VISIBLE),
              static_cast<DWORD>(WS_CHILD))
        << "no caption or frame; shown by the panel";
    EXPECT_TRUE(Style(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    RECT client{};
    ::GetClientRect(page, &client);
    const RECT size = DialogUnits(page, {0, 0, ui::kPageWidth, ui::kPageHeight});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageW(page, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    EXPECT_EQ(std::string_view(font.lfFaceName), ui::kPageFontName);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(-font.lfHeight, ::MulDiv(ui::kPageFontSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, screen);

    // Label, combo, label, combo ... in the table's order: with the combos alone tab stops, the
    // dialog manager's tab order.
    const std::vector<HWND> children = Children(page);
    ASSERT_EQ(children.size(), 2 * layout.rows.size());
    for (std::size_t k = 0; k < layout.rows.size(); ++k) {
      const ui::PageRow& row = layout.rows[k];
      SCOPED_TRACE(std::string(row.item));
      HWND label = children[2 * k];
      HWND combo = children[2 * k + 1];
      EXPECT_EQ(::GetDlgCtrlID(label), row.labelId);
      EXPECT_EQ(::GetDlgCtrlID(combo), row.comboId);

      EXPECT_EQ(TextOf(label), row.item);
      // A plain label with the mouse messages its tooltip needs, no tab stop.
      EXPECT_EQ(Style(label) & (SS_TYPEMASK | SS_NOTIFY | WS_TABSTOP),
                static_cast<DWORD>(SS_LEFT | SS_NOTIFY));
      EXPECT_TRUE(Same(RectIn(page, label), DialogUnits(page, ui::LabelRect(row))));
      EXPECT_TRUE(HasText(row.labelId)) << "the label's tooltip";
      EXPECT_FALSE(HasText(row.comboId)) << "combos carry no tooltip";

      // A drop-down list in the catalogue's order (unsorted), enabled, a tab stop.
      constexpr DWORD kComboBits =
          0x3u | WS_TABSTOP | WS_VISIBLE | WS_DISABLED | CBS_SORT | CBS_DISABLENOSCROLL;
      EXPECT_EQ(Style(combo) & kComboBits,
                static_cast<DWORD>(CBS_DROPDOWNLIST | WS_TABSTOP | WS_VISIBLE |
                                   (row.scroll ? CBS_DISABLENOSCROLL : 0)));
      COMBOBOXINFO parts{};
      parts.cbSize = sizeof parts;
      ASSERT_TRUE(::GetComboBoxInfo(combo, &parts));
      EXPECT_EQ((Style(parts.hwndList) & WS_VSCROLL) != 0, row.scroll);
      const RECT expectedCombo = DialogUnits(page, ui::ComboRect(row));
      const RECT actualCombo = RectIn(page, combo);
      EXPECT_EQ(std::tie(actualCombo.left, actualCombo.top, actualCombo.right),
                std::tie(expectedCombo.left, expectedCombo.top, expectedCombo.right));
      RECT dropped{};
      ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
      // The template's height is the dropped list's and the selection field's, the same on
      // every combo.
      const LONG field = expectedCombo.bottom - expectedCombo.top - (dropped.bottom - dropped.top);
      if (fieldHeight == 0) fieldHeight = field;
      EXPECT_EQ(field, fieldHeight) << "the dropped list's height";
    }
  }
}

// The menu's entries: command id and text.
using Menu = std::multimap<unsigned, std::string>;

Menu MenuEntries() {
  Menu out;
  HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
  if (menu == nullptr) return out;
  for (int p = 0; p < ::GetMenuItemCount(menu); ++p) {
    HMENU sub = ::GetSubMenu(menu, p);
    for (int i = 0; sub != nullptr && i < ::GetMenuItemCount(sub); ++i) {
      char text[128] = {};
      ::GetMenuStringA(sub, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      if (text[0] != '\0') out.emplace(::GetMenuItemID(sub, i), text);
    }
  }
  ::DestroyMenu(menu);
  return out;
}

TEST_F(Created, PanelButtonsAreTheMenusCommands) {
  HWND panel = Create(IDD_PANEL, true);
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(Style(panel) & WS_CHILD);
  EXPECT_EQ(LOWORD(::SendMessageW(panel, DM_GETDEFID, 0, 0)), IDC_READ);
  const Menu menu = MenuEntries();
  const std::pair<int, unsigned> buttons[] = {{IDC_READ, IDM_READ},
                                              {IDC_TRANSFER, IDM_TRANSFER},
                                              {IDC_INITIALIZE, IDM_INITIALIZE},
                                              {IDC_FINISH, IDM_FINISH}};
  for (const auto& [id, command] : buttons) {
    const auto entry = menu.find(command);
    ASSERT_NE(entry, menu.end()) << command;
    // The same words and mnemonic as the menu, without the accelerator's name.
    EXPECT_EQ(TextOf(::GetDlgItem(panel, id)), entry->second.substr(0, entry->second.find('\t')))
        << id;
  }
}

TEST_F(Created, EveryPopupHoldsItsControlsInside) {
  const std::pair<unsigned, std::vector<int>> popups[] = {
      {IDD_STATUS, {IDC_STATUS_TEXT}},
      {IDD_PRINTER_SELECTION, {IDC_PRINTER_LIST, IDC_SELECTION_OK, IDC_SELECTION_CANCEL}},
      {IDD_PRINT_FINISHED, {IDC_PRINTING_ICON, IDC_PRINTING_OK}},
      {IDD_PANEL, {IDC_TABS, IDC_READ, IDC_TRANSFER, IDC_INITIALIZE, IDC_FINISH}}};
  for (const auto& [popup, controls] : popups) {
    SCOPED_TRACE(popup);
    HWND dialog = Create(popup, popup == IDD_PANEL);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), popup == IDD_PANEL ? "" : msg::kCaption);
    for (int id : controls) EXPECT_NE(::GetDlgItem(dialog, id), nullptr) << id;
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (HWND child : Children(dialog)) {
      const RECT rect = RectIn(dialog, child);
      RECT both{};
      ::UnionRect(&both, &rect, &client);
      EXPECT_TRUE(Same(both, client)) << "control " << ::GetDlgCtrlID(child);
    }
  }
}

TEST(MenuAndAccelerators, EveryCommandOnceEveryAltKeyNamedAndBound) {
  const Menu menu = MenuEntries();
  for (unsigned id : {IDM_FILE_READ, IDM_SAVE, IDM_LIST_PRINT, IDM_FINISH, IDM_READ, IDM_TRANSFER,
                      IDM_INITIALIZE, IDM_HELP, IDM_VERSION})
    EXPECT_EQ(menu.count(id), 1u) << "command " << id;
  HACCEL table =
      ::LoadAcceleratorsA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  std::array<ACCEL, 32> keys{};
  const int count = ::CopyAcceleratorTableA(table, keys.data(), static_cast<int>(keys.size()));
  ::DestroyAcceleratorTable(table);
  const std::span<const ACCEL> accelerators(keys.data(), static_cast<std::size_t>(count));
  // Every key is Alt and the mnemonic of the menu entry it runs.
  for (const ACCEL& a : accelerators) {
    EXPECT_EQ(a.fVirt & ~FNOINVERT, FVIRTKEY | FALT) << a.cmd;
    const auto entry = menu.find(a.cmd);
    ASSERT_NE(entry, menu.end()) << "accelerator for no menu entry: " << a.cmd;
    const std::string& text = entry->second;
    ASSERT_NE(text.find('&'), std::string::npos) << text;
    EXPECT_EQ(a.key, static_cast<WORD>(text[text.find('&') + 1])) << text;
  }
  // Every "Alt+K" the menu shows is bound to its entry.
  for (const auto& [id, text] : menu) {
    const std::size_t alt = text.find("\tAlt+");
    if (alt == std::string::npos) continue;
    const auto key = static_cast<WORD>(text.at(alt + 5));
    EXPECT_TRUE(std::ranges::any_of(accelerators,
                                    [&](const ACCEL& a) { return a.key == key && a.cmd == id; }))
        << text << " has no accelerator";
  }
}

TEST(Icons, EveryIconLoadsAt32And16) {
  for (unsigned id :
       {IDI_PRINTER, IDI_PRINTER_ERROR, IDI_PRINTER_INFORMATION, IDI_PRINTER_WARNING,
        IDI_PRINTING_0, IDI_PRINTING_1, IDI_PRINTING_2, IDI_PRINTING_3, IDI_PRINTING_4}) {
    for (int side : {32, 16}) {
      auto icon =
          static_cast<HICON>(::LoadImageW(Instance(), Ordinal(id), IMAGE_ICON, side, side, 0));
      ASSERT_NE(icon, nullptr) << "icon " << id << " at " << side;
      ICONINFO info{};
      ASSERT_TRUE(::GetIconInfo(icon, &info));
      BITMAP bitmap{};
      ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
      EXPECT_EQ(std::pair(bitmap.bmWidth, bitmap.bmHeight), std::pair(LONG{side}, LONG{side}))
          << "icon " << id << " has its own " << side << " image";
      ::DeleteObject(info.hbmColor);
      ::DeleteObject(info.hbmMask);
      ::DestroyIcon(icon);
    }
  }
}

std::string VersionString(const std::vector<BYTE>& block, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), path.c_str(), &value, &length) || value == nullptr) return {};
  return static_cast<const char*>(value);
}

TEST(Version, IsTheProductVersion) {
  char path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(ROVANT_VERSION_MINOR, ROVANT_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(VersionString(block, "ProductVersion"), ROVANT_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, "FileVersion"), ROVANT_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, "ProductName"), msg::kCaption);
}

TEST(Manifest, AsInvokerWithTheClassicControls) {
  HRSRC found = ::FindResourceW(Instance(), Ordinal(1), Ordinal(24));
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(::LockResource(::LoadResource(Instance(), found)));
  const std::string text(data, ::SizeofResource(Instance(), found));
  EXPECT_NE(text.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  // The tooltips are registered with the version 5 structure size.
  EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
}

}  // namespace
}  // namespace rovant::test
