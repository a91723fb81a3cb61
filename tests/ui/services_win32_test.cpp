// The Windows services the operations and the start run on, on real windows
// with the program's own templates and icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource_ids.h"
#include "ui/startup.hpp"
#include "ui/win32/clock_win32.hpp"
#include "ui/win32/html_help_viewer.hpp"
#include "ui/win32/operation_host_win32.hpp"
#include "ui/win32/startup_services_win32.hpp"

namespace rovant::ui {
namespace {

HINSTANCE Module() { return ::GetModuleHandleA(nullptr); }

// What the test windows saw.
struct Seen {
  int paints = 0;
  int keys = 0;
  int commands = 0;
};
Seen seen;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      ::BeginPaint(window, &paint);
      ::EndPaint(window, &paint);
      ++seen.paints;
      return 0;
    }
    case WM_KEYDOWN:
      ++seen.keys;
      return 0;
    case WM_COMMAND:
      ++seen.commands;
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

// A plain top-level window standing in for the main window.
class TestWindow {
 public:
  TestWindow() {
    static const ATOM atom = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = TestWindowProc;
      windowClass.hInstance = Module();
      windowClass.lpszClassName = "RovantServicesTest";
      return ::RegisterClassA(&windowClass);
    }();
    EXPECT_NE(atom, 0);
    window_.reset(::CreateWindowExA(0, "RovantServicesTest", "main", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                    100, nullptr, nullptr, Module(), nullptr));
    seen = {};
  }
  [[nodiscard]] HWND get() const { return window_.get(); }

 private:
  win32::OwnedWindow window_;
};

std::string ControlText(HWND dialog, int id) {
  std::array<char, 256> text{};
  ::GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
  return text.data();
}

TEST(StatusWindow, ShowsItsTextUnderTheMainWindowUntilClosed) {
  const TestWindow main;
  ASSERT_NE(main.get(), nullptr);
  Win32OperationHost host(Module(), main.get());
  host.ShowStatus("Setting data is read from the printer");
  const HWND status = host.StatusWindow();
  ASSERT_TRUE(::IsWindow(status));
  EXPECT_EQ(::GetWindow(status, GW_OWNER), main.get());
  EXPECT_TRUE(::IsWindowVisible(status));
  EXPECT_EQ(ControlText(status, IDC_STATUS_TEXT), "Setting data is read from the printer");
  RECT rect{};
  ASSERT_TRUE(::GetWindowRect(status, &rect));
  EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
  EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
  host.CloseStatus();
  EXPECT_FALSE(::IsWindow(status));
  EXPECT_EQ(host.StatusWindow(), nullptr);
}

TEST(StatusWindow, ANewStatusReplacesTheOldOne) {
  const TestWindow main;
  Win32OperationHost host(Module(), main.get());
  host.ShowStatus("first");
  const HWND first = host.StatusWindow();
  host.ShowStatus("second");
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_EQ(ControlText(host.StatusWindow(), IDC_STATUS_TEXT), "second");
  host.CloseStatus();
}

// The print-finished dialog is driven from a hook on this thread: when it
// initialises, Cancel, timer ticks and finally OK are posted to it; every
// icon set into the animation control is recorded.
struct Drive {
  HHOOK hook = nullptr;
  HWND dialog = nullptr;
  int ticks = 0;
  std::vector<HICON> icons;
};
Drive drive;

LRESULT CALLBACK DriveHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_INITDIALOG && drive.dialog == nullptr) {
      drive.dialog = call->hwnd;
      ::PostMessageA(call->hwnd, WM_COMMAND, IDCANCEL, 0);
      for (int i = 0; i < drive.ticks; ++i) {
        ::PostMessageA(call->hwnd, WM_TIMER, kPrintingTimerId, 0);
      }
      ::PostMessageA(call->hwnd, WM_COMMAND, IDC_PRINTING_OK, 0);
    }
    if (call->message == STM_SETICON) drive.icons.push_back(reinterpret_cast<HICON>(call->wParam));
  }
  return ::CallNextHookEx(drive.hook, code, wParam, lParam);
}

TEST(PrintFinishedDialog, AnimatesThroughItsFramesUntilOk) {
  const TestWindow main;
  Win32OperationHost host(Module(), main.get());
  drive = {};
  drive.ticks = 7;
  drive.hook = ::SetWindowsHookExA(WH_CALLWNDPROC, DriveHook, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(drive.hook, nullptr);
  host.RunPrintFinishedDialog();
  ::UnhookWindowsHookEx(drive.hook);

  ASSERT_NE(drive.dialog, nullptr);
  EXPECT_FALSE(::IsWindow(drive.dialog));
  // Cancel did not end it; every tick showed the next frame, wrapping after 215.
  ASSERT_GE(drive.icons.size(), 7u);
  for (std::size_t i = 0; i < drive.icons.size(); ++i) {
    const int frame = kPrintingFrames[i % std::size(kPrintingFrames)];
    EXPECT_EQ(drive.icons[i], ::LoadIconA(Module(), MAKEINTRESOURCEA(frame))) << i;
  }
  EXPECT_NE(drive.icons[0], drive.icons[1]);
}

TEST(ReplyLog, IsWrittenOnlyWhenItExists) {
  std::array<char, MAX_PATH> folder{};
  ASSERT_NE(::GetTempPathA(MAX_PATH, folder.data()), 0u);
  const std::string path = std::string(folder.data()) + "rovant_reply_log_test.log";
  ::DeleteFileA(path.c_str());
  Win32OperationHost host(Module(), nullptr, path);

  const char reply[] = {'?', 'N', '\r', '\0', '\n', 'x'};
  host.LogReply(reply);
  EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

  {
    const win32::UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), "old", 3, &written, nullptr));
  }
  host.LogReply(reply);
  host.LogReply(std::span<const char>(reply, 2));

  std::array<char, 64> content{};
  DWORD read = 0;
  {
    const win32::UniqueKernelHandle file(::CreateFileA(
        path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(::ReadFile(file.get(), content.data(), 64, &read, nullptr));
  }
  ::DeleteFileA(path.c_str());
  const std::string expected = std::string("old") + std::string(reply, 6) + std::string(reply, 2);
  EXPECT_EQ(std::string(content.data(), read), expected);
}

TEST(Win32Clock, PaintsDuringAWaitButLeavesInputQueued) {
  const TestWindow window;
  ::ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  // Let the window's own start-up messages pass before the test begins.
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
  ::ValidateRect(window.get(), nullptr);
  seen = {};

  ::InvalidateRect(window.get(), nullptr, FALSE);
  ASSERT_TRUE(::PostMessageA(window.get(), WM_KEYDOWN, VK_SPACE, 0));
  ASSERT_TRUE(::PostMessageA(window.get(), WM_COMMAND, 1, 0));
  Win32Clock clock;
  clock.SleepMs(30);

  EXPECT_GE(seen.paints, 1);
  EXPECT_EQ(seen.keys, 0);
  EXPECT_EQ(seen.commands, 0);
  ASSERT_TRUE(::PeekMessageA(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(::PeekMessageA(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_COMMAND));
}

TEST(Win32Clock, TimeGoesForward) {
  Win32Clock clock;
  const std::uint64_t before = clock.NowMs();
  clock.SleepMs(50);
  EXPECT_GT(clock.NowMs(), before);
}

std::string TestMutexName() {
  return "Local\\RovantInstanceTest_" + std::to_string(::GetCurrentProcessId());
}

// Another thread stands in for another process: the mutex is not recursive across threads.
InstanceCheck AcquireOnAnotherThread(const std::string& name) {
  InstanceCheck result = InstanceCheck::kCreateFailed;
  std::thread other([&] {
    InstanceMutex mutex;
    result = mutex.Acquire(name);
  });
  other.join();
  return result;
}

TEST(InstanceMutex, ASecondOwnerIsTurnedAway) {
  const std::string name = TestMutexName();
  InstanceMutex first;
  ASSERT_EQ(first.Acquire(name), InstanceCheck::kOwner);
  EXPECT_TRUE(first.owned());
  EXPECT_EQ(AcquireOnAnotherThread(name), InstanceCheck::kOtherInstance);
  first.Release();
  EXPECT_FALSE(first.owned());
  EXPECT_EQ(AcquireOnAnotherThread(name), InstanceCheck::kOwner);
}

TEST(InstanceMutex, AnAbandonedMutexIsTakenOver) {
  const std::string name = TestMutexName() + "_abandoned";
  // Keep the mutex alive in this process while the other thread abandons it.
  const win32::UniqueKernelHandle keepAlive(::CreateMutexA(nullptr, FALSE, name.c_str()));
  std::thread other([&] {
    const win32::UniqueKernelHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    ::WaitForSingleObject(mutex.get(), 0);
  });
  other.join();
  InstanceMutex mutex;
  EXPECT_EQ(mutex.Acquire(name), InstanceCheck::kOwner);
  EXPECT_TRUE(mutex.owned());
}

TEST(StartupServices, FindTheApplicationDataFolder) {
  std::string path = "left over";
  ASSERT_TRUE(GetAppDataFolder(path));
  ASSERT_GE(path.size(), 3u);
  EXPECT_EQ(path[1], ':');
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(StartupServices, TheSettingsFolderExistsAfterItIsBuilt) {
  Win32FolderSystem folders;
  const std::string folder = BuildSettingsFolder(false, "C:\\unused", folders);
  std::string appData;
  ASSERT_TRUE(GetAppDataFolder(appData));
  EXPECT_EQ(folder, appData + "\\Vek\\ROVANT");
  const DWORD attributes = ::GetFileAttributesA(folder.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // A second start finds both folders there already.
  EXPECT_EQ(BuildSettingsFolder(false, "C:\\unused", folders), folder);
}

TEST(StartupServices, AnswerTheVersionQuery) {
  const auto extended = QueryPlatformVersion(kExtendedVersionRecordSize);
  const auto plain = QueryPlatformVersion(kPlainVersionRecordSize);
  ASSERT_TRUE(extended);
  ASSERT_TRUE(plain);
  EXPECT_EQ(extended->ntFamily, plain->ntFamily);
  EXPECT_EQ(extended->major, plain->major);
  EXPECT_FALSE(QueryPlatformVersion(4096));
  EXPECT_FALSE(QueryPlatformVersion(12));
}

TEST(StartupServices, KnowTheCurrentDirectory) {
  std::array<char, MAX_PATH> folder{};
  ::GetCurrentDirectoryA(MAX_PATH, folder.data());
  EXPECT_EQ(CurrentDirectoryText(), folder.data());
  Win32CurrentDirectory directory;
  std::array<char, MAX_PATH> temp{};
  ::GetTempPathA(MAX_PATH, temp.data());
  ASSERT_TRUE(directory.Set(temp.data()));
  EXPECT_NE(CurrentDirectoryText(), folder.data());
  ASSERT_TRUE(directory.Set(folder.data()));
  EXPECT_EQ(CurrentDirectoryText(), folder.data());
}

TEST(HtmlHelp, AMissingHelpFileShowsNothing) {
  HtmlHelpViewer viewer;
  EXPECT_EQ(viewer.ShowTopic(0, "C:\\no such folder\\ROVANT.CHM"), 0u);
  viewer.CloseAll();
  // Whether or not the control was found, a second call behaves the same.
  EXPECT_EQ(viewer.ShowTopic(0, "C:\\no such folder\\ROVANT.CHM"), 0u);
}

struct FolderCase {
  const char* path;
  const char* folder;
  bool inside;
};

class FileInFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FileInFolder, OnlyFilesDirectlyInTheFolder) {
  EXPECT_EQ(IsFileInFolder(GetParam().path, GetParam().folder), GetParam().inside)
      << GetParam().path << " in " << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileInFolder,
    ::testing::Values(
        FolderCase{"C:\\Windows\\System32\\hhctrl.ocx", "C:\\Windows\\System32", true},
        FolderCase{"c:\\windows\\system32\\HHCTRL.OCX", "C:\\Windows\\System32\\", true},
        FolderCase{"C:\\Windows\\System32\\sub\\hhctrl.ocx", "C:\\Windows\\System32", false},
        FolderCase{"C:\\Windows\\System32\\..\\hhctrl.ocx", "C:\\Windows\\System32", false},
        FolderCase{"C:\\Windows\\System32x\\hhctrl.ocx", "C:\\Windows\\System32", false},
        FolderCase{"hhctrl.ocx", "C:\\Windows\\System32", false},
        FolderCase{"C:\\Windows\\System32\\", "C:\\Windows\\System32", false},
        FolderCase{"D:\\Windows\\System32\\hhctrl.ocx", "C:\\Windows\\System32", false},
        FolderCase{"C:\\Windows\\System32\\hhctrl.ocx", "", false},
        FolderCase{"C:\\hhctrl.ocx", "C:\\", true}));

}  // namespace
}  // namespace rovant::ui
