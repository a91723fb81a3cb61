#include "testbed/uidriver/remote_tree_view.hpp"

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <optional>

#include "testbed/uidriver/remote_block.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kTextCapacity = 1024;  // characters, terminator included
// The item's offset in the block is 0; its text buffer follows it.
constexpr std::size_t kTextOffset = (sizeof(TVITEMW) + 15) / 16 * 16;
constexpr std::size_t kBlockSize = kTextOffset + kTextCapacity * sizeof(wchar_t);

HTREEITEM NextItem(HWND treeView, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendBounded(treeView, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), 0));
}

// The text of `item`; nothing if it cannot be read.
std::optional<std::wstring> TreeViewText(HWND treeView, HTREEITEM item) {
  RemoteBlock block(treeView, kBlockSize);
  if (!block.valid()) return std::nullopt;
  TVITEMW request{};
  request.mask = TVIF_TEXT | TVIF_HANDLE;
  request.hItem = item;
  request.pszText = reinterpret_cast<LPWSTR>(block.at(kTextOffset));
  request.cchTextMax = static_cast<int>(kTextCapacity);
  const wchar_t empty = L'\0';
  if (!block.Write(0, &request, sizeof request) ||
      !block.Write(kTextOffset, &empty, sizeof empty)) {
    return std::nullopt;
  }
  if (SendBounded(treeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0)), FALSE) ==
      FALSE) {
    return std::nullopt;
  }
  std::array<wchar_t, kTextCapacity> text{};
  if (!block.Read(kTextOffset, text.data(), sizeof text)) return std::nullopt;
  text.back() = L'\0';  // whatever the other process left there
  return std::wstring(text.data());
}

}  // namespace

int TreeViewCount(HWND treeView) {
  return static_cast<int>(SendBounded(treeView, TVM_GETCOUNT, 0, 0, -1));
}

std::vector<std::wstring> TreeViewRootTexts(HWND treeView, std::size_t limit) {
  std::vector<std::wstring> texts;
  for (HTREEITEM item = NextItem(treeView, nullptr, TVGN_ROOT);
       item != nullptr && texts.size() < limit; item = NextItem(treeView, item, TVGN_NEXT)) {
    texts.push_back(TreeViewText(treeView, item).value_or(L""));
  }
  return texts;
}

}  // namespace rovant::uidriver
