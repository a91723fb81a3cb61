// Windows, controls, keys and message boxes of another process.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdio>

#include "platform/win32/text.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kMaxText = 4096;
constexpr LRESULT kMaxItemLength = 1024;
constexpr DWORD kForegroundWaitMs = 3000;
constexpr DWORD kPauseBetweenChordsMs = 30;

// The names of the message box buttons IDOK (1) .. IDNO (7).
constexpr std::array<const char*, 8> kButtonNames{"",      "OK",     "Cancel", "Abort",
                                                  "Retry", "Ignore", "Yes",    "No"};

constexpr std::pair<const char*, WORD> kNamedKeys[] = {
    {"Tab", VK_TAB}, {"Escape", VK_ESCAPE}, {"Enter", VK_RETURN}, {"Up", VK_UP}, {"Down", VK_DOWN}};

struct Enumeration {
  const WindowQuery* query;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  auto* e = reinterpret_cast<Enumeration*>(param);
  const WindowQuery& q = *e->query;
  if (q.processId != 0 && ProcessOf(window) != q.processId) return TRUE;
  if (::IsWindowVisible(window) == FALSE) return TRUE;
  if (q.className && ClassOf(window) != *q.className) return TRUE;
  if (q.caption && TextOf(window) != *q.caption) return TRUE;
  if (q.childId && ::GetDlgItem(window, *q.childId) == nullptr) return TRUE;
  e->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  ::EnumChildWindows(parent, CollectAll, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string Line(HWND window, int depth) {
  std::array<char, 64> head{};
  std::snprintf(head.data(), head.size(), "%*s%p pid %lu id %d ", depth * 2, "",
                static_cast<void*>(window), ProcessOf(window), ::GetDlgCtrlID(window));
  std::string line = head.data();
  line += Narrow(ClassOf(window)) + " \"" + Narrow(TextOf(window)) + "\"";
  if (::IsWindowVisible(window) == FALSE) line += " hidden";
  if (::IsWindowEnabled(window) == FALSE) line += " disabled";
  return line + "\n";
}

// Item `index` of the combo box; nothing for none (CB_ERR) or one that cannot be read.
std::optional<std::wstring> ComboItem(HWND combo, int index) {
  if (index < 0) return std::nullopt;
  const LRESULT length = SendBounded(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, CB_ERR);
  if (length < 0 || length > kMaxItemLength) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendBounded(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()), CB_ERR);
  if (copied < 0 || copied > length) return std::nullopt;
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

INPUT Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// One chord ("Ctrl+Shift+Tab") as the key presses and releases that type it; empty if unknown.
std::vector<INPUT> ChordInputs(const std::string& text) {
  std::array<std::pair<bool, WORD>, 3> modifiers{
      {{false, VK_CONTROL}, {false, VK_MENU}, {false, VK_SHIFT}}};
  std::string rest = text;
  for (std::size_t plus = rest.find('+'); plus != std::string::npos && plus + 1 < rest.size();
       plus = rest.find('+')) {
    const std::string modifier = rest.substr(0, plus);
    const std::size_t which = modifier == "Ctrl" ? 0 : modifier == "Alt" ? 1 : 2;
    if (which == 2 && modifier != "Shift") return {};
    modifiers[which].first = true;
    rest = rest.substr(plus + 1);
  }
  WORD key = 0;
  for (const auto& [name, code] : kNamedKeys)
    if (rest == name) key = code;
  if (key == 0 && rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0])) != 0)
    key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
  if (key == 0) return {};
  std::vector<INPUT> inputs;
  for (const auto& [held, modifier] : modifiers)
    if (held) inputs.push_back(Key(modifier, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  for (const auto& [held, modifier] : modifiers)
    if (held) inputs.push_back(Key(modifier, true));
  return inputs;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return win32::ToWide(utf8, CP_UTF8); }
std::string Narrow(std::wstring_view wide) { return win32::FromWide(wide, CP_UTF8); }

std::wstring ClassOf(HWND window) {
  std::array<wchar_t, 256> name{};
  const int length = ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return length > 0 ? std::wstring(name.data(), static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring TextOf(HWND window) {
  std::wstring text(kMaxText + 1, L'\0');
  const LRESULT copied =
      SendBounded(window, WM_GETTEXT, kMaxText + 1, reinterpret_cast<LPARAM>(text.data()), 0);
  text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), kMaxText));
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
  Enumeration e{&query, {}};
  ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&e));
  return e.found;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(kPollMs);
  }
}

HWND WaitWindow(const WindowQuery& query, DWORD timeoutMs) {
  std::vector<HWND> found;
  WaitUntil([&] { return !(found = FindTopWindows(query)).empty(); }, timeoutMs);
  return found.empty() ? nullptr : found.front();
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([window] { return ::IsWindow(window) == FALSE; }, timeoutMs);
}

HWND WaitSoleWindow(const WindowQuery& query, DWORD settleMs, DWORD timeoutMs) {
  HWND sole = nullptr;
  ULONGLONG since = 0;
  const bool settled = WaitUntil(
      [&] {
        const std::vector<HWND> matches = FindTopWindows(query);
        HWND candidate = matches.empty() ? nullptr : matches.front();
        if (candidate != nullptr) {
          const std::vector<HWND> all = FindTopWindows({.processId = ProcessOf(candidate)});
          if (all.size() != 1 || all.front() != candidate || !IsEnabled(candidate))
            candidate = nullptr;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (candidate != sole) since = now;
        sole = candidate;
        return sole != nullptr && now - since >= settleMs;
      },
      timeoutMs);
  return settled ? sole : nullptr;
}

HWND FindChild(HWND parent, int id) {
  HWND hidden = nullptr;
  for (HWND child : Descendants(parent)) {
    if (::GetDlgCtrlID(child) != id) continue;
    if (IsVisible(child)) return child;
    if (hidden == nullptr) hidden = child;
  }
  return hidden;
}

std::vector<HWND> FindChildren(HWND parent, const std::wstring& className) {
  std::vector<HWND> result;
  for (HWND child : Descendants(parent))
    if (ClassOf(child) == className) result.push_back(child);
  return result;
}

std::string DescribeWindows() {
  std::string report;
  for (HWND top : FindTopWindows({})) {
    report += Line(top, 0);
    for (HWND child : Descendants(top)) {
      int depth = 1;
      for (HWND p = ::GetParent(child); p != nullptr && p != top; p = ::GetParent(p)) ++depth;
      report += Line(child, depth);
    }
  }
  return report.empty() ? "(no windows)\n" : report;
}

LRESULT SendBounded(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT fallback) {
  DWORD_PTR result = 0;
  const LRESULT sent =
      ::SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
  return sent != 0 ? static_cast<LRESULT>(result) : fallback;
}

bool ClickButton(HWND button) {
  if (::IsWindow(button) == FALSE || !IsEnabled(button) || !IsVisible(button)) return false;
  return ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool PressCommand(HWND dialog, int id) {
  if (::IsWindow(dialog) == FALSE) return false;
  return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id))) != FALSE;
}

std::optional<std::wstring> ComboText(HWND combo) {
  return ComboItem(combo, static_cast<int>(SendBounded(combo, CB_GETCURSEL, 0, 0, CB_ERR)));
}

bool SelectComboItem(HWND combo, const std::wstring& text) {
  const auto count = static_cast<int>(SendBounded(combo, CB_GETCOUNT, 0, 0, CB_ERR));
  for (int i = 0; i < count; ++i) {
    if (ComboItem(combo, i) != text) continue;
    if (SendBounded(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0, CB_ERR) != i) return false;
    const auto id = static_cast<WORD>(::GetDlgCtrlID(combo));
    return ::PostMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(combo)) != FALSE;
  }
  return false;
}

bool IsEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }
bool IsVisible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || ::GetGUIThreadInfo(thread, &info) == FALSE) return nullptr;
  return info.hwndFocus;
}

bool BringToForeground(HWND window) {
  HWND top = ::GetAncestor(window, GA_ROOT);
  return top != nullptr && WaitUntil(
                               [top] {
                                 if (::GetForegroundWindow() != top) ::SetForegroundWindow(top);
                                 return ::GetForegroundWindow() == top;
                               },
                               kForegroundWaitMs);
}

bool TypeChords(const std::vector<std::string>& chords) {
  std::vector<std::vector<INPUT>> typed;
  for (const std::string& chord : chords) {
    typed.push_back(ChordInputs(chord));
    if (typed.back().empty()) return false;
  }
  for (std::vector<INPUT>& inputs : typed) {
    const auto count = static_cast<UINT>(inputs.size());
    if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) return false;
    ::Sleep(kPauseBetweenChordsMs);
  }
  return true;
}

MessageBoxContent ReadMessageBox(HWND box, const IconCandidates& icons) {
  MessageBoxContent content;
  content.caption = TextOf(box);
  content.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
  for (int id = IDOK; id <= IDNO; ++id) {
    HWND button = ::GetDlgItem(box, id);
    if (button != nullptr && IsVisible(button)) content.buttons.push_back(id);
  }
  content.icon = ClassifyIcon(::GetDlgItem(box, kMessageBoxIconId), icons);
  return content;
}

std::string ButtonName(int id) {
  return id >= IDOK && id <= IDNO ? kButtonNames[static_cast<std::size_t>(id)] : std::to_string(id);
}

// ---- list and tree views of another process, through blocks of memory placed in the owner
// process for the messages that carry a pointer

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
  for (int i = 0; i < count; ++i) {
    rows.push_back(ItemText(listView, LVITEMW{}, [&](LPARAM item) {
                     return SendBounded(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), item,
                                        -1) >= 0;
                   }).value_or(L""));
  }
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
  const std::vector<std::wstring> rows = ListViewRows(listView);
  const auto found = std::ranges::find(rows, text);
  return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
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
