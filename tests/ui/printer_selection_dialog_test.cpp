// The selection dialog from the program's own template, with a fake spooler: what the end-to-end
// scenarios (OK, Cancel and the keys) do not reach.
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
  ListView_GetItemText(list, static_cast<int>(row), column, buffer, sizeof buffer);
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
    window.reset(dialog.CreateModeless(nullptr));
  }
  static HWND List(HWND window) { return ::GetDlgItem(window, IDC_PRINTER_LIST); }

  PrinterSelection selection{context};
  PrinterSelectionDialog dialog{::GetModuleHandleA(nullptr), selection};
  win32::OwnedWindow window;
};

// Rows, icons, headings and column widths, as the dialog shows them for `printers`.
void ExpectList(HWND list, const std::vector<SpoolerPrinter>& printers) {
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(printers.size()));
  int widths[2] = {ScreenTextWidth(msg::kColumnPrinterName), ScreenTextWidth(msg::kColumnPort)};
  for (std::size_t row = 0; row < printers.size(); ++row) {
    EXPECT_EQ(ItemText(list, row, 0), printers[row].printerName);
    EXPECT_EQ(ItemText(list, row, 1), printers[row].portName);
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = static_cast<int>(row);
    ListView_GetItem(list, &item);
    EXPECT_EQ(item.iImage, static_cast<int>(row)) << "each row its own icon";
    widths[0] = std::max(widths[0], ScreenTextWidth(printers[row].printerName));
    widths[1] = std::max(widths[1], ScreenTextWidth(printers[row].portName));
  }
  const HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(images), static_cast<int>(printers.size()));
  int cx = 0;
  int cy = 0;
  ::ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 2);
  const std::string_view headings[2] = {msg::kColumnPrinterName, msg::kColumnPort};
  for (int column = 0; column < 2; ++column) {
    char text[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = sizeof text;
    ListView_GetColumn(list, column, &c);
    EXPECT_EQ(text, headings[column]);
    EXPECT_EQ(ListView_GetColumnWidth(list, column), widths[column])
        << "as wide as its widest text";
  }
}

TEST_F(SelectionDialog, ListsEveryPrinterWithItsIconPortAndColumns) {
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  ExpectList(list, spooler.printers);
  EXPECT_NE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_EQ(::GetWindowLongPtrA(window.get(), GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectionDialog, OkWithoutAFocusedRowShowsTheMessageAndStays) {
  ASSERT_NE(window.get(), nullptr);
  ListView_SetItemState(List(window.get()), -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
  ::SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(IDC_SELECTION_OK, BN_CLICKED), 0);
  EXPECT_EQ(log.calls, (testing::Calls{"spooler enumerate", Box(189, msg::kNotSelected)}));
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_EQ(::GetFocus(), List(window.get()));
}

TEST_F(SelectionDialog, ADoubleClickActsAsOk) {
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  NMITEMACTIVATE click{};
  click.hdr = {list, IDC_PRINTER_LIST, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 1;
  ::SendMessageA(window.get(), WM_NOTIFY, IDC_PRINTER_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(dialog.result(), SelectionResult::kChosen);
  EXPECT_EQ(state.selectedPrinter.printerName, "HX320 on a file");
  EXPECT_EQ(state.selectedPrinter.portState, kPortFile);
}

TEST_F(SelectionDialog, ASettingChangeRebuildsTheList) {
  ASSERT_NE(window.get(), nullptr);
  spooler.printers.erase(spooler.printers.begin());
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  ExpectList(List(window.get()), spooler.printers);
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
  PrinterSelectionDialog modal{::GetModuleHandleA(nullptr), selection};
  const SelectionResult result = modal.RunModal(nullptr);
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(result, SelectionResult::kNoSupportedPrinter);
  EXPECT_EQ(gActivations, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace rovant::ui
