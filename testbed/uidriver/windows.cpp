// Windows, controls, keys and message boxes of another process.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>

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

// Modifiers, in the order a chord names them.
constexpr std::pair<const char*, WORD> kModifiers[] = {
    {"Ctrl+", VK_CONTROL}, {"Alt+", VK_MENU}, {"Shift+", VK_SHIFT}};
constexpr std::pair<const char*, WORD> kNamedKeys[] = {
    {"Tab", VK_TAB}, {"Escape", VK_ESCAPE}, {"Enter", VK_RETURN}, {"Up", VK_UP}, {"Down", VK_DOWN}};

BOOL CALLBACK Collect(HWND window, LPARAM all) {
  reinterpret_cast<std::vector<HWND>*>(all)->push_back(window);
  return TRUE;
}

// The children of `parent` at every level; without a parent, the top-level windows, topmost first.
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  const auto param = reinterpret_cast<LPARAM>(&all);
  parent != nullptr ? ::EnumChildWindows(parent, Collect, param) : ::EnumWindows(Collect, param);
  return all;
}

std::string Line(HWND window, const char* indent) {
  std::string line = indent + std::to_string(ProcessOf(window)) + " " + Narrow(ClassOf(window)) +
                     " id " + std::to_string(::GetDlgCtrlID(window)) + " \"" +
                     Narrow(TextOf(window)) + "\"";
  if (!IsVisible(window)) line += " hidden";
  if (!IsEnabled(window)) line += " disabled";
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
std::vector<INPUT> ChordInputs(std::string_view chord) {
  std::vector<WORD> keys;  // pressed in this order, released in the reverse
  for (const auto& [name, modifier] : kModifiers) {
    if (!chord.starts_with(name)) continue;
    keys.push_back(modifier);
    chord.remove_prefix(std::string_view(name).size());
  }
  WORD key = 0;
  for (const auto& [name, code] : kNamedKeys)
    if (chord == name) key = code;
  if (chord.size() == 1 && std::isalnum(static_cast<unsigned char>(chord[0])) != 0)
    key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(chord[0])));
  if (key == 0) return {};
  keys.push_back(key);
  std::vector<INPUT> inputs;
  for (const WORD k : keys) inputs.push_back(Key(k, false));
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) inputs.push_back(Key(*k, true));
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

std::vector<HWND> FindTopWindows(const WindowQuery& q) {
  std::vector<HWND> found = Descendants(nullptr);
  std::erase_if(found, [&q](HWND w) {
    return (q.processId != 0 && ProcessOf(w) != q.processId) || !IsVisible(w) ||
           (q.className && ClassOf(w) != *q.className) || (q.caption && TextOf(w) != *q.caption) ||
           (q.childId && ::GetDlgItem(w, *q.childId) == nullptr);
  });
  return found;
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
    report += Line(top, "pid ");
    for (HWND child : Descendants(top)) report += Line(child, "  pid ");
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

MessageBoxContent ReadMessageBox(HWND box) {
  MessageBoxContent content;
  content.caption = TextOf(box);
  content.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
  for (int id = IDOK; id <= IDNO; ++id) {
    HWND button = ::GetDlgItem(box, id);
    if (button != nullptr && IsVisible(button)) content.buttons.push_back(id);
  }
  return content;
}

std::string ButtonName(int id) {
  return id >= IDOK && id <= IDNO ? kButtonNames[static_cast<std::size_t>(id)] : std::to_string(id);
}

// ---- list views of another process, through blocks of memory placed in the owner
// process for the messages that carry a pointer

namespace {

constexpr std::size_t kTextCapacity = 1024;  // characters, terminator included

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

}  // namespace

int ListViewCount(HWND listView) {
  return static_cast<int>(SendBounded(listView, LVM_GETITEMCOUNT, 0, 0, -1));
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
  // The item at offset 0 of the block, its text buffer after it.
  constexpr std::size_t kTextOffset = (sizeof(LVITEMW) + 15) / 16 * 16;
  RemoteBlock block(listView, kTextOffset + kTextCapacity * sizeof(wchar_t));
  const int count = ListViewCount(listView);
  for (int i = 0; i < count; ++i) {
    LVITEMW item{};
    item.pszText = reinterpret_cast<LPWSTR>(block.at(kTextOffset));
    item.cchTextMax = static_cast<int>(kTextCapacity);
    std::array<wchar_t, kTextCapacity> row{};
    if (block.Write(0, &item, sizeof item) &&
        SendBounded(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(block.at(0)), -1) >= 0 &&
        block.Read(kTextOffset, row.data(), sizeof row)) {
      row.back() = L'\0';  // whatever the other process left there
      if (text == row.data()) return i;
    }
  }
  return -1;
}

int TreeViewCount(HWND treeView) {
  return static_cast<int>(SendBounded(treeView, TVM_GETCOUNT, 0, 0, -1));
}

}  // namespace rovant::uidriver
