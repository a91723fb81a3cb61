#include "testbed/uidriver/windows.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "testbed/uidriver/text.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::size_t kMaxText = 4096;
constexpr UINT kMessageTimeoutMs = 2000;

struct Enumeration {
  const WindowQuery* query;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  auto* e = reinterpret_cast<Enumeration*>(param);
  const WindowQuery& q = *e->query;
  if (q.processId != 0 && ProcessOf(window) != q.processId) return TRUE;
  if (q.visibleOnly && ::IsWindowVisible(window) == FALSE) return TRUE;
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

}  // namespace

std::wstring ClassOf(HWND window) {
  std::array<wchar_t, 256> name{};
  const int length = ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return length > 0 ? std::wstring(name.data(), static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT with a time-out: a hung program must not hang the driver.
  std::wstring text(kMaxText + 1, L'\0');
  DWORD_PTR copied = 0;
  if (::SendMessageTimeoutW(window, WM_GETTEXT, kMaxText + 1, reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied) == 0) {
    return {};
  }
  text.resize(std::min<std::size_t>(copied, kMaxText));
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

HWND FindChild(HWND parent, int id) {
  for (HWND child : Descendants(parent))
    if (::GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

HWND WaitSoleWindow(const WindowQuery& query, DWORD settleMs, DWORD timeoutMs) {
  HWND sole = nullptr;
  ULONGLONG since = 0;
  const bool settled = WaitUntil(
      [&] {
        const std::vector<HWND> matches = FindTopWindows(query);
        HWND candidate = matches.empty() ? nullptr : matches.front();
        if (candidate != nullptr) {
          WindowQuery shown;
          shown.processId = ProcessOf(candidate);
          const std::vector<HWND> all = FindTopWindows(shown);
          if (all.size() != 1 || all.front() != candidate || ::IsWindowEnabled(candidate) == FALSE)
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

HWND FindShownChild(HWND parent, int id) {
  HWND hidden = nullptr;
  for (HWND child : Descendants(parent)) {
    if (::GetDlgCtrlID(child) != id) continue;
    if (::IsWindowVisible(child) != FALSE) return child;
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
  WindowQuery query;
  query.processId = processId;
  query.visibleOnly = processId == 0;  // all of one process's windows, only visible ones of all
  std::string report;
  for (HWND top : FindTopWindows(query)) {
    report += Line(top, 0);
    for (HWND child : Descendants(top)) {
      int depth = 1;
      for (HWND p = ::GetParent(child); p != nullptr && p != top; p = ::GetParent(p)) ++depth;
      report += Line(child, depth);
    }
  }
  return report.empty() ? "(no windows)\n" : report;
}

}  // namespace rovant::uidriver
