// Windows, controls, keys and message boxes of another process.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "platform/win32/text.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kMaxText = 4096;
constexpr LRESULT kMaxItemLength = 1024;
constexpr DWORD kForegroundWaitMs = 3000;
constexpr DWORD kPauseBetweenChordsMs = 30;

constexpr std::array<std::pair<int, const char*>, 7> kButtonNames{{
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
    {IDABORT, "Abort"},
    {IDRETRY, "Retry"},
    {IDIGNORE, "Ignore"},
    {IDYES, "Yes"},
    {IDNO, "No"},
}};

constexpr std::array<std::pair<const char*, WORD>, 5> kNamedKeys{{
    {"Tab", VK_TAB},
    {"Escape", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"Up", VK_UP},
    {"Down", VK_DOWN},
}};

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

std::optional<std::wstring> ComboItem(HWND combo, int index) {
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
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = FindTopWindows(query);
        if (!windows.empty()) found = windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
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
  for (HWND child : Descendants(parent))
    if (::GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

HWND FindShownChild(HWND parent, int id) {
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

std::string DescribeWindows(DWORD processId) {
  std::vector<HWND> tops;
  if (processId == 0) {
    tops = FindTopWindows({});
  } else {  // all of one process's windows, hidden ones too
    ::EnumWindows(CollectAll, reinterpret_cast<LPARAM>(&tops));
    std::erase_if(tops, [processId](HWND w) { return ProcessOf(w) != processId; });
  }
  std::string report;
  for (HWND top : tops) {
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
  if (::SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) ==
      0) {
    return fallback;
  }
  return static_cast<LRESULT>(result);
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

bool CloseWindow(HWND window) { return ::PostMessageW(window, WM_CLOSE, 0, 0) != FALSE; }

std::optional<std::wstring> ComboText(HWND combo) {
  const auto selected = static_cast<int>(SendBounded(combo, CB_GETCURSEL, 0, 0, CB_ERR));
  if (selected < 0) return std::nullopt;
  return ComboItem(combo, selected);
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

bool SetText(HWND window, const std::wstring& text) {
  return SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), FALSE) != FALSE;
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

std::optional<KeyChord> ParseChord(const std::string& text) {
  KeyChord chord;
  std::string rest = text;
  for (std::size_t plus = rest.find('+'); plus != std::string::npos && plus + 1 < rest.size();
       plus = rest.find('+')) {
    const std::string modifier = rest.substr(0, plus);
    bool& flag = modifier == "Alt" ? chord.alt : modifier == "Ctrl" ? chord.control : chord.shift;
    if (modifier != "Alt" && modifier != "Ctrl" && modifier != "Shift") return std::nullopt;
    flag = true;
    rest = rest.substr(plus + 1);
  }
  for (const auto& [name, key] : kNamedKeys) {
    if (rest == name) {
      chord.key = key;
      return chord;
    }
  }
  if (rest.size() != 1 || std::isalnum(static_cast<unsigned char>(rest[0])) == 0)
    return std::nullopt;
  chord.key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
  return chord;
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

bool TypeChords(const std::vector<KeyChord>& chords) {
  for (const KeyChord& chord : chords) {
    const std::array<std::pair<bool, WORD>, 3> modifiers{
        {{chord.control, VK_CONTROL}, {chord.alt, VK_MENU}, {chord.shift, VK_SHIFT}}};
    std::vector<INPUT> inputs;
    for (const auto& [held, key] : modifiers)
      if (held) inputs.push_back(Key(key, false));
    inputs.push_back(Key(chord.key, false));
    inputs.push_back(Key(chord.key, true));
    for (const auto& [held, key] : modifiers)
      if (held) inputs.push_back(Key(key, true));
    const auto count = static_cast<UINT>(inputs.size());
    if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) return false;
    ::Sleep(kPauseBetweenChordsMs);
  }
  return true;
}

std::vector<HWND> FindMessageBoxes(DWORD processId) {
  std::vector<HWND> boxes = FindTopWindows({.processId = processId, .className = L"#32770"});
  std::erase_if(boxes, [](HWND w) {
    HWND text = ::GetDlgItem(w, kMessageBoxTextId);
    return text == nullptr || ClassOf(text) != L"Static";
  });
  return boxes;
}

HWND WaitMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> boxes = FindMessageBoxes(processId);
        if (!boxes.empty()) found = boxes.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

MessageBoxContent ReadMessageBox(HWND box, const IconCandidates& icons) {
  MessageBoxContent content;
  content.window = box;
  content.caption = TextOf(box);
  content.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
  for (const auto& [id, name] : kButtonNames) {
    HWND button = ::GetDlgItem(box, id);
    if (button != nullptr && IsVisible(button)) content.buttons.push_back(id);
  }
  std::ranges::sort(content.buttons);
  content.icon = ClassifyIcon(::GetDlgItem(box, kMessageBoxIconId), icons);
  return content;
}

std::string ButtonName(int id) {
  for (const auto& [i, name] : kButtonNames)
    if (i == id) return name;
  return std::to_string(id);
}

int ButtonNamed(const std::string& name) {
  for (const auto& [id, n] : kButtonNames)
    if (name == n) return id;
  return 0;
}

}  // namespace rovant::uidriver
