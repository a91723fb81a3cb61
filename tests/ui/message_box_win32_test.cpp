// Win32MessageBoxes on the system's boxes: a request's own icon is loaded from the instance's
// resources, a plain request shows its style's system icon. Which message takes which style and
// icon is the portable tests' (the fakes record both); here only what the system shows. Shared
// icons are loaded once per process, so the box shows the very handle LoadIcon gives here.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "texts/messages.hpp"
#include "ui/win32/message_boxes_win32.hpp"

namespace rovant::ui {
namespace {

constexpr ULONGLONG kBoxWaitMs = 5000;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  char name[8] = {};
  if (IsWindowVisible(window) == FALSE || GetClassNameA(window, name, sizeof name) == 0 ||
      std::string(name) != "#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Only an icon static answers STM_GETICON with a handle.
BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  DWORD_PTR icon = 0;
  SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
  *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(icon);
  return icon == 0;
}

// The icon of the box that thread `shower` shows, which is then answered with `button`; a box
// that does not come within kBoxWaitMs ends the thread's modal loop instead.
HICON ReadAndPress(DWORD shower, int button) {
  HWND box = nullptr;
  for (const ULONGLONG end = GetTickCount64() + kBoxWaitMs;
       box == nullptr && GetTickCount64() < end; Sleep(20))
    EnumThreadWindows(shower, FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) {
    PostThreadMessageW(shower, WM_QUIT, 0, 0);
    return nullptr;
  }
  HICON icon = nullptr;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return icon;
}

// style, the program's icon (0: none), the system icon shown without one, the button pressed.
// The program's requests carry the user-icon style; a request's icon alone must show it too.
struct Row {
  unsigned style;
  unsigned icon;
  LPCSTR systemIcon;
  int press;
};
const Row kRows[] = {{msg::kUserIconOk, msg::kIconApplication, nullptr, IDOK},
                     {msg::kUserIconAbortRetryIgnore, msg::kIconWarning, nullptr, IDABORT},
                     {msg::kOk, msg::kIconError, nullptr, IDOK},
                     {msg::kOk, msg::kIconInformation, nullptr, IDOK},
                     {msg::kOk | msg::kIconQuestion, msg::kIconNone, IDI_QUESTION, IDOK},
                     {msg::kIconStop, msg::kIconNone, IDI_HAND, IDOK},
                     {MB_ICONINFORMATION, msg::kIconNone, IDI_ASTERISK, IDOK}};

TEST(Win32MessageBoxes, ShowTheProgramsIconFromTheInstanceOrTheStylesSystemIcon) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  Win32MessageBoxes boxes{instance};
  for (const Row& row : kRows) {
    SCOPED_TRACE("style " + std::to_string(row.style) + " icon " + std::to_string(row.icon));
    const HICON expected = row.icon != msg::kIconNone
                               ? LoadIconA(instance, MAKEINTRESOURCEA(row.icon))
                               : LoadIconA(nullptr, row.systemIcon);
    ASSERT_NE(expected, nullptr);
    HICON shown = nullptr;
    std::thread reader(
        [&, shower = GetCurrentThreadId()] { shown = ReadAndPress(shower, row.press); });
    EXPECT_EQ(boxes.Show({kNoWindow, "icon", row.style, row.icon}), row.press);
    reader.join();
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // left by a box that never came
    EXPECT_EQ(shown, expected);
  }
}

}  // namespace
}  // namespace rovant::ui
