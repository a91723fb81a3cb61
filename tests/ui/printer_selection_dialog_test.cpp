// The selection dialog from the program's own template, driven with a fake spooler and
// recorded message boxes: what the end-to-end scenarios (which choose with OK, Cancel and the
// keys) do not reach: the list's columns and icons, OK without a row, a double click, a change
// of the system's settings, and no supported printer at all.
#include "ui/win32/printer_selection_dialog.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handle.hpp"
#include "resources/resource_ids.h"
#include "tests/ui/selection_fixture.hpp"
#include "texts/selection_messages.hpp"
#include "ui/printer_table.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::Printer;

int ScreenTextWidth(std::string_view text) {
  HDC dc = ::GetDC(nullptr);
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  ::ReleaseDC(nullptr, dc);
  return static_cast<int>(size.cx);
}

std::string ItemText(HWND list, std::size_t row, int column) {
  char buffer[256] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

class SelectionDialog : public testing::SelectionTest {
 protected:
  SelectionDialog() {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    spooler.printers = {Printer("Text printer", "LPT2:", "Generic / Text Only"),
                        Printer("HX320 on a file", "FILE:"),
                        Printer("HX310 ready with a rather long name", "USB001", "Vek HX310")};
  }

  static HWND List(HWND window) { return ::GetDlgItem(window, IDC_PRINTER_LIST); }

  static void SetFocusedRow(HWND list, int row) {
    LVITEMA clear{};
    clear.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&clear));
    if (row < 0) return;
    LVITEMA set{};
    set.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    set.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&set));
  }

  static void Command(HWND window, int id) {
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
  }

  PrinterSelection selection{context};
  PrinterSelectionDialog dialog{::GetModuleHandleA(nullptr), selection};
};

// Rows, icons, headings and column widths, as the dialog shows them for `printers`.
void ExpectList(HWND list, const std::vector<SpoolerPrinter>& printers, const PrinterTable& table) {
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(printers.size()));
  int widths[2] = {ScreenTextWidth(msg::kColumnPrinterName), ScreenTextWidth(msg::kColumnPort)};
  for (std::size_t row = 0; row < printers.size(); ++row) {
    EXPECT_EQ(ItemText(list, row, 0), printers[row].printerName);
    EXPECT_EQ(ItemText(list, row, 1), printers[row].portName);
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = static_cast<int>(row);
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, static_cast<int>(row)) << "each row its own icon";
    widths[0] = std::max(widths[0], ScreenTextWidth(printers[row].printerName));
    widths[1] = std::max(widths[1], ScreenTextWidth(printers[row].portName));
  }
  const auto images =
      reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(images), static_cast<int>(table.entries.size()));
  int cx = 0;
  int cy = 0;
  ::ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  const auto header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
  const std::string_view headings[2] = {msg::kColumnPrinterName, msg::kColumnPort};
  for (int column = 0; column < 2; ++column) {
    char text[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    EXPECT_EQ(text, headings[column]);
    EXPECT_EQ(::SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0),
              widths[column])
        << "column " << column << " as wide as its widest text";
  }
}

TEST_F(SelectionDialog, ListsEveryPrinterWithItsIconPortAndColumns) {
  const win32::OwnedWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  ExpectList(list, spooler.printers, BuildPrinterTable(spooler.printers));
  EXPECT_NE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_EQ(::GetWindowLongPtrA(window.get(), GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectionDialog, OkWithoutAFocusedRowShowsTheMessageAndStays) {
  const win32::OwnedWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  SetFocusedRow(List(window.get()), -1);
  Command(window.get(), IDC_SELECTION_OK);
  EXPECT_EQ(log.calls, (testing::Calls{"spooler enumerate", Box(189, msg::kNotSelected)}));
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_EQ(::GetFocus(), List(window.get()));
}

TEST_F(SelectionDialog, ADoubleClickActsAsOk) {
  const win32::OwnedWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  SetFocusedRow(list, 1);
  NMITEMACTIVATE click{};
  click.hdr = {list, IDC_PRINTER_LIST, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 1;
  ::SendMessageA(window.get(), WM_NOTIFY, IDC_PRINTER_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(dialog.result(), SelectionResult::kChosen);
  EXPECT_EQ(state.selectedPrinter.printerName, "HX320 on a file");
  EXPECT_EQ(state.selectedPrinter.portState, kPortFile);
}

TEST_F(SelectionDialog, ASettingChangeRebuildsTheList) {
  const win32::OwnedWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  spooler.printers.erase(spooler.printers.begin());
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  ExpectList(List(window.get()), spooler.printers, BuildPrinterTable(spooler.printers));
  EXPECT_FALSE(dialog.result().has_value());

  spooler.printers = {Printer("Text printer", "LPT2:", "Generic / Text Only")};
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(dialog.result(), SelectionResult::kNoSupportedPrinter);
}

// The modal dialog: a hook counts its activations.
int gActivations = 0;

LRESULT CALLBACK CountActivations(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) ++gActivations;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SelectionDialog, WithoutASupportedPrinterTheModalDialogIsNeverShown) {
  spooler.printers = {Printer("Text printer", "LPT2:", "Generic / Text Only")};
  gActivations = 0;
  HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CountActivations, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const SelectionResult result = dialog.RunModal(nullptr);
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(result, SelectionResult::kNoSupportedPrinter);
  EXPECT_EQ(gActivations, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace rovant::ui
