// List and tree views of another process, through blocks of memory placed in the owner process
// for the messages that carry a pointer.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <array>
#include <cstddef>

#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kTextCapacity = 1024;  // characters, terminator included
constexpr std::size_t kMaxRoots = 256;

// A block of `size` bytes in the owner process of `window`, freed when done. Reads and writes
// outside the block are refused.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, std::size_t size) : size_(size) {
    process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 ProcessOf(window)));
    if (process_) {
      address_ =
          ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteBlock() {
    if (address_ != nullptr) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  [[nodiscard]] bool valid() const { return address_ != nullptr; }
  // The address of `offset` in the other process (to be put into a message, never used here).
  [[nodiscard]] std::byte* at(std::size_t offset) const {
    return static_cast<std::byte*>(address_) + offset;
  }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T done = 0;
    return valid() && offset <= size_ && size <= size_ - offset &&
           ::WriteProcessMemory(process_.get(), at(offset), data, size, &done) != FALSE &&
           done == size;
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T done = 0;
    return valid() && offset <= size_ && size <= size_ - offset &&
           ::ReadProcessMemory(process_.get(), at(offset), data, size, &done) != FALSE &&
           done == size;
  }

 private:
  win32::UniqueKernelHandle process_;
  void* address_ = nullptr;
  std::size_t size_;
};

// The text of an item (LVITEMW or TVITEMW) that `ask` requests with the item at block offset 0
// and its text buffer after it; nothing if it cannot be read.
template <typename Item, typename Ask>
std::optional<std::wstring> ItemText(HWND control, Item item, Ask ask) {
  constexpr std::size_t kTextOffset = (sizeof(Item) + 15) / 16 * 16;
  RemoteBlock block(control, kTextOffset + kTextCapacity * sizeof(wchar_t));
  if (!block.valid()) return std::nullopt;
  item.pszText = reinterpret_cast<LPWSTR>(block.at(kTextOffset));
  item.cchTextMax = static_cast<int>(kTextCapacity);
  const wchar_t empty = L'\0';
  std::array<wchar_t, kTextCapacity> text{};
  if (!block.Write(0, &item, sizeof item) || !block.Write(kTextOffset, &empty, sizeof empty) ||
      !ask(reinterpret_cast<LPARAM>(block.at(0))) ||
      !block.Read(kTextOffset, text.data(), sizeof text)) {
    return std::nullopt;
  }
  text.back() = L'\0';  // whatever the other process left there
  return std::wstring(text.data());
}

std::optional<std::wstring> ListViewText(HWND listView, int row) {
  return ItemText(listView, LVITEMW{}, [&](LPARAM item) {
    return SendBounded(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item, -1) >= 0;
  });
}

HTREEITEM NextItem(HWND treeView, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendBounded(treeView, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), 0));
}

}  // namespace

int ListViewCount(HWND listView) {
  return static_cast<int>(SendBounded(listView, LVM_GETITEMCOUNT, 0, 0, -1));
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
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // Every row deselected (-1), then the chosen one selected and focused.
  for (const auto& [which, state] : {std::pair{-1, 0U}, {row, item.stateMask}}) {
    item.state = state;
    if (!block.Write(0, &item, sizeof item) ||
        SendBounded(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(which),
                    reinterpret_cast<LPARAM>(block.at(0)), FALSE) == FALSE) {
      return false;
    }
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

int TreeViewCount(HWND treeView) {
  return static_cast<int>(SendBounded(treeView, TVM_GETCOUNT, 0, 0, -1));
}

std::vector<std::wstring> TreeViewRootTexts(HWND treeView) {
  std::vector<std::wstring> texts;
  for (HTREEITEM item = NextItem(treeView, nullptr, TVGN_ROOT);
       item != nullptr && texts.size() < kMaxRoots; item = NextItem(treeView, item, TVGN_NEXT)) {
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    texts.push_back(ItemText(treeView, request, [&](LPARAM address) {
                      return SendBounded(treeView, TVM_GETITEMW, 0, address, FALSE) != FALSE;
                    }).value_or(L""));
  }
  return texts;
}

}  // namespace rovant::uidriver
