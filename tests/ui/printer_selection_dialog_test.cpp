// The selection dialog from the program's own template, driven with a fake
// spooler and recorded message boxes.
#include "ui/win32/printer_selection_dialog.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/ui/selection_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::ui {
namespace {

using testing::Box;
using testing::Printer;

// A modeless dialog window of the test, destroyed at its end.
class TestWindow {
 public:
  explicit TestWindow(HWND window) : window_(window) {}
  ~TestWindow() {
    if (window_ != nullptr && ::IsWindow(window_) != FALSE) ::DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  [[nodiscard]] HWND get() const { return window_; }

 private:
  HWND window_;
};

int ScreenTextWidth(const std::string& text) {
  HDC dc = ::GetDC(nullptr);
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::ReleaseDC(nullptr, dc);
  return static_cast<int>(size.cx);
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

  std::string ItemText(HWND list, int row, int column) const {
    char buffer[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return buffer;
  }

  int ImageOf(HWND list, int row) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }

  std::string Heading(HWND list, int column) const {
    char buffer[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = buffer;
    c.cchTextMax = sizeof buffer;
    ::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    return buffer;
  }

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

TEST_F(SelectionDialog, ListsEveryPrinterWithItsIconPortAndColumns) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
  for (int row = 0; row < 3; ++row) {
    const SpoolerPrinter& printer = spooler.printers[static_cast<std::size_t>(row)];
    EXPECT_EQ(ItemText(list, row, 0), printer.printerName);
    EXPECT_EQ(ItemText(list, row, 1), printer.portName);
    EXPECT_EQ(ImageOf(list, row), row);
  }
  const auto images =
      reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(images), 3);
  int cx = 0;
  int cy = 0;
  ::ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);

  EXPECT_EQ(Heading(list, 0), "PRINTER NAME");
  EXPECT_EQ(Heading(list, 1), "PORT");
  EXPECT_EQ(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0),
            std::max(ScreenTextWidth("PRINTER NAME"),
                     ScreenTextWidth("HX310 ready with a rather long name")));
  EXPECT_EQ(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0),
            std::max({ScreenTextWidth("PORT"), ScreenTextWidth("LPT2:"), ScreenTextWidth("FILE:"),
                      ScreenTextWidth("USB001")}));
  EXPECT_NE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  EXPECT_EQ(::GetFocus(), list);

  char caption[32] = {};
  ::GetWindowTextA(window.get(), caption, sizeof caption);
  EXPECT_STREQ(caption, "ROVANT");
  EXPECT_EQ(::GetWindowLongPtrA(window.get(), GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectionDialog, OkWithoutAFocusedRowShowsTheMessageAndStays) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  SetFocusedRow(List(window.get()), -1);
  Command(window.get(), IDC_SELECTION_OK);
  EXPECT_EQ(log.calls, (testing::Calls{"spooler enumerate", Box(189, msg::kNotSelected)}));
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_EQ(::GetFocus(), List(window.get()));
}

TEST_F(SelectionDialog, OkTakesTheFocusedRow) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  SetFocusedRow(List(window.get()), 2);
  Command(window.get(), IDC_SELECTION_OK);
  EXPECT_EQ(dialog.result(), SelectionResult::kChosen);
  EXPECT_EQ(dialog.chosenRow(), 2u);
  EXPECT_EQ(state.selectedPrinter.printerName, "HX310 ready with a rather long name");
  EXPECT_EQ(state.selectedPrinter.modelCode, ModelCode::kHx310);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectionDialog, ADoubleClickActsAsOk) {
  const TestWindow window(dialog.CreateModeless(nullptr));
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

TEST_F(SelectionDialog, EscapeAndCloseDoNothing) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  MSG escape{List(window.get()), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
  ::IsDialogMessageA(window.get(), &escape);
  Command(window.get(), IDCANCEL);
  ::SendMessageA(window.get(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_NE(::IsWindow(window.get()), FALSE);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SelectionDialog, CancelButtonCancels) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  SetFocusedRow(List(window.get()), 2);
  Command(window.get(), IDC_SELECTION_CANCEL);
  EXPECT_EQ(dialog.result(), SelectionResult::kCancelled);
  EXPECT_EQ(state.selectedPrinter.printerName, "");
}

TEST_F(SelectionDialog, ASettingChangeRebuildsTheList) {
  const TestWindow window(dialog.CreateModeless(nullptr));
  ASSERT_NE(window.get(), nullptr);
  const HWND list = List(window.get());
  spooler.printers.erase(spooler.printers.begin());
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ItemText(list, 0, 0), "HX320 on a file");
  EXPECT_EQ(Heading(list, 0), "PRINTER NAME");
  EXPECT_EQ(Heading(list, 1), "PORT");
  const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
  const auto images =
      reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  EXPECT_EQ(::ImageList_GetImageCount(images), 2);
  EXPECT_FALSE(dialog.result().has_value());

  spooler.printers = {Printer("Text printer", "LPT2:", "Generic / Text Only")};
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(dialog.result(), SelectionResult::kNoSupportedPrinter);
}

// The modal dialog, with the user's keys and clicks posted once it is shown.
std::vector<MSG> gInput;
int gActivations = 0;

LRESULT CALLBACK PostInputWhenShown(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (::GetDlgItem(window, IDC_PRINTER_LIST) != nullptr && gActivations++ == 0) {
      for (MSG input : gInput) {
        const HWND target =
            input.hwnd != nullptr
                ? ::GetDlgItem(window, static_cast<int>(reinterpret_cast<INT_PTR>(input.hwnd)))
                : window;
        ::PostMessageA(target, input.message, input.wParam, input.lParam);
      }
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class ModalSelectionDialog : public SelectionDialog {
 protected:
  ModalSelectionDialog() {
    gInput.clear();
    gActivations = 0;
    hook_ = ::SetWindowsHookExA(WH_CBT, &PostInputWhenShown, nullptr, ::GetCurrentThreadId());
  }
  ~ModalSelectionDialog() override { ::UnhookWindowsHookEx(hook_); }

  // A message for a control of the dialog (by id), or for the dialog (0).
  static MSG To(int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{
        reinterpret_cast<HWND>(static_cast<INT_PTR>(control)), message, wParam, lParam, 0, {0, 0}};
  }

  HHOOK hook_ = nullptr;
};

TEST_F(ModalSelectionDialog, CancelReturns2) {
  ASSERT_NE(hook_, nullptr);
  gInput = {To(0, WM_COMMAND, MAKEWPARAM(IDC_SELECTION_CANCEL, BN_CLICKED), 0)};
  EXPECT_EQ(dialog.RunModal(nullptr), SelectionResult::kCancelled);
  EXPECT_EQ(gActivations, 1);
}

TEST_F(ModalSelectionDialog, EscapeLeavesTheDialogOpen) {
  ASSERT_NE(hook_, nullptr);
  gInput = {To(IDC_PRINTER_LIST, WM_KEYDOWN, VK_ESCAPE, 0x00010001),
            To(0, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0), To(0, WM_CLOSE, 0, 0),
            To(IDC_PRINTER_LIST, WM_KEYDOWN, VK_HOME, 0x01470001),
            To(0, WM_COMMAND, MAKEWPARAM(IDC_SELECTION_OK, BN_CLICKED), 0)};
  EXPECT_EQ(dialog.RunModal(nullptr), SelectionResult::kChosen);
  EXPECT_EQ(dialog.chosenRow(), 0u);
  EXPECT_EQ(state.selectedPrinter.modelCode, ModelCode::kOther);
}

TEST_F(ModalSelectionDialog, OkWithARowReturns1) {
  ASSERT_NE(hook_, nullptr);
  gInput = {To(IDC_PRINTER_LIST, WM_KEYDOWN, VK_END, 0x014F0001),
            To(0, WM_COMMAND, MAKEWPARAM(IDC_SELECTION_OK, BN_CLICKED), 0)};
  Win32SelectionDialogRunner runner(::GetModuleHandleA(nullptr), nullptr, selection);
  const SelectionDialogRunner::Outcome outcome = runner.Run();
  EXPECT_EQ(outcome.result, SelectionResult::kChosen);
  EXPECT_EQ(outcome.chosenRow, 2u);
  EXPECT_EQ(state.selectedPrinter.printerName, "HX310 ready with a rather long name");
}

TEST_F(ModalSelectionDialog, WithoutASupportedPrinterItReturns3AndIsNeverShown) {
  spooler.printers = {Printer("Text printer", "LPT2:", "Generic / Text Only")};
  EXPECT_EQ(dialog.RunModal(nullptr), SelectionResult::kNoSupportedPrinter);
  EXPECT_EQ(gActivations, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace rovant::ui
