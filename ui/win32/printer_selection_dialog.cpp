#include "ui/win32/printer_selection_dialog.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "resources/resource_ids.h"
#include "texts/selection_messages.hpp"
#include "ui/win32/window_placement.hpp"

namespace rovant::ui {
namespace {

constexpr int kIconSize = 16;
constexpr char kCaption[] = "ROVANT";

// The width of a text on the screen's device context, in pixels.
int TextWidth(std::string_view text) {
  const win32::WindowDc screen;
  SIZE size{0, 0};
  if (screen.get() == nullptr ||
      ::GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &size) ==
          FALSE) {
    return 0;
  }
  return static_cast<int>(size.cx);
}

// One of the program's icons at list size; the stock application icon keeps
// the rows and the images in step if the resource is missing.
void AppendIcon(HIMAGELIST images, HINSTANCE instance, unsigned id) {
  const win32::UniqueIcon icon(static_cast<HICON>(::LoadImageA(
      instance, MAKEINTRESOURCEA(id), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR)));
  if (icon.get() != nullptr && ::ImageList_AddIcon(images, icon.get()) >= 0) return;
  ::ImageList_AddIcon(images, ::LoadIcon(nullptr, IDI_APPLICATION));
}

}  // namespace

SelectionResult PrinterSelectionDialog::RunModal(HWND owner) {
  result_.reset();
  chosenRow_.reset();
  const INT_PTR ended = RunModalDialog(instance_, IDD_PRINTER_SELECTION, owner);
  switch (ended) {
    case static_cast<INT_PTR>(SelectionResult::kChosen):
    case static_cast<INT_PTR>(SelectionResult::kCancelled):
    case static_cast<INT_PTR>(SelectionResult::kNoSupportedPrinter):
      return static_cast<SelectionResult>(ended);
    default:
      return SelectionResult::kNotShown;
  }
}

HWND PrinterSelectionDialog::CreateModeless(HWND owner) {
  result_.reset();
  chosenRow_.reset();
  return CreateModelessDialog(instance_, IDD_PRINTER_SELECTION, owner);
}

win32::WindowBase::Answer PrinterSelectionDialog::OnInit(WPARAM, LPARAM) {
  Initialise();
  return FALSE;  // the focus is set: on the list
}

win32::WindowBase::Answer PrinterSelectionDialog::OnNotify(const NMHDR* header) {
  if (header != nullptr && header->idFrom == IDC_PRINTER_LIST && header->code == NM_DBLCLK) {
    Ok();
    return TRUE;
  }
  return FALSE;
}

win32::WindowBase::Answer PrinterSelectionDialog::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDC_SELECTION_OK:
    case IDOK:
      Ok();
      return TRUE;
    case IDC_SELECTION_CANCEL:
      Close(SelectionResult::kCancelled);
      return TRUE;
    case IDCANCEL:  // Escape: the dialog is left only through OK or Cancel
      return TRUE;
    default:
      return FALSE;
  }
}

win32::WindowBase::Answer PrinterSelectionDialog::OnMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_SETTINGCHANGE:
      BuildList();
      return TRUE;
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

HWND PrinterSelectionDialog::List() const { return ::GetDlgItem(window(), IDC_PRINTER_LIST); }

void PrinterSelectionDialog::Initialise() {
  // The image list belongs to this dialog, not to the list control.
  const HWND list = List();
  ::SetWindowLongPtrA(list, GWL_STYLE, ::GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  BuildList();
  if (result_) return;  // nothing to choose from: closed before it is shown
  CentreOnScreen(window());
  ::SetForegroundWindow(window());
}

void PrinterSelectionDialog::ClearList() {
  const HWND list = List();
  ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  while (::SendMessageA(list, LVM_DELETECOLUMN, 0, 0) != FALSE) {
  }
  ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
  images_.reset();
}

void PrinterSelectionDialog::AddColumn(int index, std::string_view heading) {
  std::string text(heading);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = TextWidth(heading);
  column.pszText = text.data();
  column.iSubItem = index;
  ::SendMessageA(List(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void PrinterSelectionDialog::WidenColumn(int column, std::string_view text) {
  const int width = TextWidth(text);
  const auto current =
      static_cast<int>(::SendMessageA(List(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  if (width > current) {
    ::SendMessageA(List(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
  }
}

void PrinterSelectionDialog::AddRow(int row, const PrinterEntry& entry, unsigned icon) {
  AppendIcon(images_.get(), instance_, icon);
  std::string name = entry.printerName;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = row;
  item.pszText = name.data();
  item.iImage = row;
  const auto inserted =
      static_cast<int>(::SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  std::string port = entry.portName;
  LVITEMA subItem{};
  subItem.iSubItem = 1;
  subItem.pszText = port.data();
  ::SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(inserted),
                 reinterpret_cast<LPARAM>(&subItem));
  WidenColumn(0, entry.printerName);
  WidenColumn(1, entry.portName);
}

void PrinterSelectionDialog::BuildList() {
  ClearList();
  AddColumn(0, msg::kColumnPrinterName);
  AddColumn(1, msg::kColumnPort);

  const PrinterTable& table = selection_.Rebuild();
  const int count = static_cast<int>(table.entries.size());
  images_.reset(::ImageList_Create(kIconSize, kIconSize, ILC_COLOR4 | ILC_MASK, count, 0));
  ::SendMessageA(List(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.get()));
  for (int row = 0; row < count; ++row) {
    const auto index = static_cast<std::size_t>(row);
    AddRow(row, table.entries[index], table.icons[index]);
  }

  ::SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  ::SetWindowTextA(window(), kCaption);
  // Nothing to choose from: closed before the focus would activate the window.
  if (!table.anySupported) {
    Close(SelectionResult::kNoSupportedPrinter);
    return;
  }
  ::SetFocus(List());
}

void PrinterSelectionDialog::Ok() {
  const auto focused = static_cast<int>(::SendMessageA(
      List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
  std::optional<std::size_t> row;
  if (focused >= 0) row = static_cast<std::size_t>(focused);
  if (!selection_.Choose(row)) {
    ::SetFocus(List());
    return;
  }
  chosenRow_ = row;
  Close(SelectionResult::kChosen);
}

void PrinterSelectionDialog::Close(SelectionResult result) {
  result_ = result;
  ::EndDialog(window(), static_cast<INT_PTR>(result));
}

SelectionDialogRunner::Outcome Win32SelectionDialogRunner::Run() {
  PrinterSelectionDialog dialog(instance_, selection_);
  const SelectionResult result = dialog.RunModal(owner_);
  return {result, result == SelectionResult::kChosen ? dialog.chosenRow() : std::nullopt};
}

}  // namespace rovant::ui
