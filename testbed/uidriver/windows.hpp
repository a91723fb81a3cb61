// Finding windows: a process's top-level windows by class, caption and owner process, bounded
// waits for them, and child controls by id or class.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rovant::uidriver {

// Every wait polls at this interval.
inline constexpr DWORD kPollMs = 50;

struct WindowQuery {
  DWORD processId = 0;                    // 0: any process
  std::optional<std::wstring> className;  // exact, e.g. L"#32770" for dialogs and boxes
  std::optional<std::wstring> caption;    // exact
  bool visibleOnly = true;
};

std::wstring ClassOf(HWND window);
// The window's text (bounded: at most 4096 characters), read with WM_GETTEXT.
std::wstring TextOf(HWND window);
DWORD ProcessOf(HWND window);

// The top-level windows matching `query`, in Z order (topmost first).
std::vector<HWND> FindTopWindows(const WindowQuery& query);
// The first match within `timeoutMs`, or null.
HWND WaitWindow(const WindowQuery& query, DWORD timeoutMs);
// Waits until `window` is gone (destroyed), bounded; true if it went.
bool WaitGone(HWND window, DWORD timeoutMs);
// Polls `condition` until it holds or `timeoutMs` has passed; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Waits until a window matching `query` is the only window its process shows, and enabled,
// without a break for `settleMs`: a main window that exists from the start behind dialogs and
// status windows is then ready for the user. Null when that does not happen within `timeoutMs`.
HWND WaitSoleWindow(const WindowQuery& query, DWORD settleMs, DWORD timeoutMs);

// A descendant with this control id (depth first), or null.
HWND FindChild(HWND parent, int id);
// The same, preferring a visible one: the pages of a tab panel reuse their control ids, and
// only the page shown is the one a user sees.
HWND FindShownChild(HWND parent, int id);
// The descendants of this class, in creation order.
std::vector<HWND> FindChildren(HWND parent, const std::wstring& className);

// One line per top-level window of `processId` (0: all) and, indented, its children:
// handle, class, id, caption, visible/enabled; for reports of failed waits.
std::string DescribeWindows(DWORD processId);

}  // namespace rovant::uidriver
