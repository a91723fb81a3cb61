// rovant.exe started twice: the second start says "ROVANT is already started" and ends with
// code 0, the first goes on. The boxes are found by their caption and text from here.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitLimitMs = 60000;
constexpr DWORD kPollMs = 50;

// The program's path as Windows (and Wine's Z: drive) names it.
std::string ProgramPath() {
  std::string path = ROVANT_EXE_PATH;
  if (!path.empty() && path.front() == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// A started process, ended (by its id) and closed when the test is done with it.
class Process {
 public:
  explicit Process(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::vector<char> commandLine(path.begin(), path.end());
    commandLine.push_back('\0');
    started_ = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info_) != FALSE;
    if (started_) CloseHandle(info_.hThread);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() {
    if (!started_) return;
    if (Running()) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, kWaitLimitMs);
    }
    CloseHandle(info_.hProcess);
  }
  [[nodiscard]] bool started() const { return started_; }
  [[nodiscard]] DWORD id() const { return info_.dwProcessId; }
  [[nodiscard]] bool Running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
  }
  [[nodiscard]] bool WaitForExit(DWORD& code) const {
    if (WaitForSingleObject(info_.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(info_.hProcess, &code) != FALSE;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

std::string TextOf(HWND window) {
  char buffer[512] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

struct Search {
  DWORD process;
  const char* className;  // null: any class
  std::string caption;
  std::string text;  // a child's text to look for; empty: none needed
  HWND found = nullptr;
};

BOOL CALLBACK ChildHasText(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (TextOf(child) == search->text) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK TopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || TextOf(window) != search->caption) return TRUE;
  if (search->className != nullptr) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != search->className) return TRUE;
  }
  if (!search->text.empty()) {
    Search inner = *search;
    EnumChildWindows(window, &ChildHasText, reinterpret_cast<LPARAM>(&inner));
    if (inner.found == nullptr) return TRUE;
  }
  search->found = window;
  return FALSE;
}

// Waits until the process shows such a top-level window.
HWND WaitForWindow(Search search) {
  for (DWORD waited = 0; waited < kWaitLimitMs; waited += kPollMs) {
    search.found = nullptr;
    EnumWindows(&TopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(kPollMs);
  }
  return nullptr;
}

TEST(SecondInstance, IsToldAndEndsWhileTheFirstRuns) {
  const std::string path = ProgramPath();
  Process first(path);
  ASSERT_TRUE(first.started()) << "cannot start " << path;
  // The first instance holds the instance mutex once its main window exists.
  HWND main = WaitForWindow(Search{first.id(), "rovant", "ROVANT", ""});
  ASSERT_NE(main, nullptr) << "the first instance shows no main window";

  Process second(path);
  ASSERT_TRUE(second.started());
  HWND box = WaitForWindow(Search{second.id(), "#32770", "ROVANT", "ROVANT is already started"});
  ASSERT_NE(box, nullptr) << "no \"ROVANT is already started\" box";
  EXPECT_EQ(FindWindowExA(nullptr, nullptr, "rovant", nullptr) != nullptr, true);
  PostMessageA(box, WM_COMMAND, IDOK, 0);

  DWORD code = 99;
  ASSERT_TRUE(second.WaitForExit(code)) << "the second instance did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(first.Running()) << "the first instance was disturbed";
  EXPECT_NE(IsWindow(main), FALSE);
  // The first instance is ended by the Process owner.
}

}  // namespace
