// rovant_uidriver: drives the program's windows from a separate process under Wine (or Windows).
// Every wait is bounded and polls every kPollMs; every cross-process message is sent with a
// time-out or posted (where the program may answer with a modal loop), so a hung program cannot
// hang the driver.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/unique_handle.hpp"

namespace rovant::uidriver {

inline constexpr DWORD kPollMs = 50;
inline constexpr UINT kMessageTimeoutMs = 2000;

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// ---- processes: each in a job object that ends it (and what it starts) when the job closes

struct StartOptions {
  std::wstring program;                 // a Windows path (Z:\... for host files under Wine)
  std::vector<std::wstring> arguments;  // quoted as needed
  std::wstring workingFolder;           // empty: the driver's own
  // Added or replaced for the start, then taken out of the driver's own environment.
  std::vector<std::pair<std::wstring, std::wstring>> environment;
  std::wstring outputFile;  // empty: standard output and error are inherited
};

class Job {
 public:
  Job();
  [[nodiscard]] bool valid() const { return static_cast<bool>(job_); }
  [[nodiscard]] HANDLE get() const { return job_.get(); }
  void KillAll();  // the job stays usable

 private:
  win32::UniqueKernelHandle job_;
};

class Process {
 public:
  // Starts `options.program` suspended, puts it into `job`, then lets it run; nothing (and
  // `error` set) if any step fails.
  static std::optional<Process> Start(const StartOptions& options, Job& job, std::string& error);

  [[nodiscard]] DWORD id() const { return id_; }
  [[nodiscard]] HANDLE handle() const { return process_.get(); }
  [[nodiscard]] bool Running() const;
  // The exit code once the process has ended within `timeoutMs`; nothing if it still runs.
  [[nodiscard]] std::optional<DWORD> WaitExit(DWORD timeoutMs) const;

 private:
  Process(win32::UniqueKernelHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  win32::UniqueKernelHandle process_;
  DWORD id_ = 0;
};

// A host path (/tmp/x) as Wine's drive Z: names it (Z:\tmp\x); other paths are kept.
std::wstring WindowsPath(const std::string& path);

// ---- windows

struct WindowQuery {
  DWORD processId = 0;                      // 0: any process
  std::optional<std::wstring> className{};  // exact, e.g. L"#32770" for dialogs and boxes
  std::optional<std::wstring> caption{};    // exact
  std::optional<int> childId{};             // it holds a control with this id
};

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT, at most 4096 characters
DWORD ProcessOf(HWND window);

std::vector<HWND> FindTopWindows(const WindowQuery& query);  // the visible ones, topmost first
HWND WaitWindow(const WindowQuery& query, DWORD timeoutMs);  // the first match, or null
bool WaitGone(HWND window, DWORD timeoutMs);
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Waits until a window matching `query` is the only window its process shows, and enabled,
// without a break for `settleMs`: a main window that exists from the start behind dialogs and
// status windows is then ready for the user. Null when that does not happen within `timeoutMs`.
HWND WaitSoleWindow(const WindowQuery& query, DWORD settleMs, DWORD timeoutMs);

HWND FindChild(HWND parent, int id);  // a visible one first: the tab pages reuse their ids
std::vector<HWND> FindChildren(HWND parent, const std::wstring& className);
// Every visible top-level window and, indented, its children: process, class, id, caption,
// hidden/disabled; for reports of failed waits.
std::string DescribeWindows();

// SendMessage with a bound: `fallback` when the window does not answer in time.
LRESULT SendBounded(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT fallback);

// ---- controls

bool ClickButton(HWND button);  // BM_CLICK, posted; false if not enabled and visible
// Posts WM_COMMAND (id, BN_CLICKED) to `dialog` as its button or menu item `id` would.
bool PressCommand(HWND dialog, int id);
// The selected item's text (CB_GETCURSEL/CB_GETLBTEXT); nothing when none is selected.
std::optional<std::wstring> ComboText(HWND combo);
// Selects the item with exactly this text and tells the owner (CBN_SELCHANGE), as a user's
// choice would; false if there is no such item.
bool SelectComboItem(HWND combo, const std::wstring& text);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);
HWND FocusOf(HWND window);  // the focus in `window`'s thread, or null

// List views of another process: their messages carry pointers, so the item and its text
// buffer are placed in the owner's memory (VirtualAllocEx) and read back. Both processes
// must have the same bitness (64-bit here: wine64 only).
int ListViewCount(HWND listView);
int ListViewSelection(HWND listView);  // the first selected row, or -1
// Selects and focuses `row` alone, so the owner is notified (LVN_ITEMCHANGED) as for a click.
bool SelectListViewRow(HWND listView, int row);
int FindListViewRow(HWND listView, const std::wstring& text);  // by first column, or -1
int TreeViewCount(HWND treeView);  // all levels; -1 when the control does not answer

// ---- keys, as a user's keyboard types them (SendInput; under Wine this needs a real X display)

bool BringToForeground(HWND window);  // bounded wait until it is
// Types "Tab", "Escape", "Enter", "Up", "Down" or a letter or digit, after any of "Ctrl+", "Alt+",
// "Shift+" in this order, into the foreground window's focus; false, typing nothing, for another.
bool TypeChords(const std::vector<std::string>& chords);

// ---- message boxes

// The text control of Wine's message box dialog (user32's MSGBOX template).
inline constexpr int kMessageBoxTextId = 0xFFFF;

// The message boxes of `processId` (0: any): dialogs with the box's text control.
inline WindowQuery MessageBoxQuery(DWORD processId) {
  return {.processId = processId, .className = L"#32770", .childId = kMessageBoxTextId};
}

struct MessageBoxContent {
  std::wstring caption;
  std::wstring text;
  std::vector<int> buttons;  // the visible ones, IDOK (1) .. IDNO (7), in id order
};

MessageBoxContent ReadMessageBox(HWND box);
// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No" for IDOK .. IDNO, else the number.
std::string ButtonName(int id);

}  // namespace rovant::uidriver
