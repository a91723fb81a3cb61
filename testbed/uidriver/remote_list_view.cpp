#include "testbed/uidriver/remote_list_view.hpp"

#include <commctrl.h>

#include <array>
#include <cstddef>

#include "testbed/uidriver/remote_block.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kTextCapacity = 1024;  // characters, terminator included

// The item's offset in the block; its text buffer follows it.
constexpr std::size_t kTextOffset = (sizeof(LVITEMW) + 15) / 16 * 16;

}  // namespace

int ListViewCount(HWND listView) {
  return static_cast<int>(SendBounded(listView, LVM_GETITEMCOUNT, 0, 0, -1));
}

std::optional<std::wstring> ListViewText(HWND listView, int row, int column) {
  RemoteBlock block(listView, kTextOffset + kTextCapacity * sizeof(wchar_t));
  if (!block.valid()) return std::nullopt;
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<LPWSTR>(block.at(kTextOffset));
  item.cchTextMax = static_cast<int>(kTextCapacity);
  const wchar_t empty = L'\0';
  if (!block.Write(0, &item, sizeof item) || !block.Write(kTextOffset, &empty, sizeof empty)) {
    return std::nullopt;
  }
  const LRESULT length = SendBounded(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(block.at(0)), -1);
  if (length < 0) return std::nullopt;
  std::array<wchar_t, kTextCapacity> text{};
  if (!block.Read(kTextOffset, text.data(), sizeof text)) return std::nullopt;
  text.back() = L'\0';  // whatever the other process left there
  return std::wstring(text.data());
}

std::vector<std::wstring> ListViewRows(HWND listView) {
  std::vector<std::wstring> rows;
  const int count = ListViewCount(listView);
  for (int i = 0; i < count; ++i) rows.push_back(ListViewText(listView, i).value_or(L""));
  return rows;
}

int ListViewSelection(HWND listView) {
  return static_cast<int>(
      SendBounded(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, -1));
}

bool SelectListViewRow(HWND listView, int row) {
  if (row < 0 || row >= ListViewCount(listView)) return false;
  RemoteBlock block(listView, sizeof(LVITEMW));
  if (!block.valid()) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  // Every row deselected (-1), then the chosen one selected and focused.
  if (!block.Write(0, &item, sizeof item) ||
      SendBounded(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                  reinterpret_cast<LPARAM>(block.at(0)), FALSE) == FALSE) {
    return false;
  }
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!block.Write(0, &item, sizeof item) ||
      SendBounded(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                  reinterpret_cast<LPARAM>(block.at(0)), FALSE) == FALSE) {
    return false;
  }
  SendBounded(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE, 0);
  return ListViewSelection(listView) == row;
}

int FindListViewRow(HWND listView, const std::wstring& text) {
  const int count = ListViewCount(listView);
  for (int i = 0; i < count; ++i)
    if (ListViewText(listView, i) == text) return i;
  return -1;
}

}  // namespace rovant::uidriver
