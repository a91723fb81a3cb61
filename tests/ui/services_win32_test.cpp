// The Windows services the operations and the start run on, on real windows with the program's
// own templates, and the spooler in both families of calls (the end-to-end scenarios meet only
// the wide one, and the code page's conversions of names). The settings folder, the current
// directory and the status window's text are the end-to-end scenarios'.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>

#include "resources/resource_ids.h"
#include "texts/printer_messages.hpp"
#include "ui/startup.hpp"
#include "ui/win32/clock_win32.hpp"
#include "ui/win32/html_help_viewer.hpp"
#include "ui/win32/operation_host_win32.hpp"
#include "ui/win32/spooler_win32.hpp"
#include "ui/win32/startup_services_win32.hpp"

namespace rovant::ui {
namespace {

HINSTANCE Module() { return ::GetModuleHandleA(nullptr); }

// What the test windows saw.
struct Seen {
  int paints = 0, keys = 0, commands = 0;
};
Seen seen;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint{};
    ::BeginPaint(window, &paint);
    ::EndPaint(window, &paint);
    ++seen.paints;
    return 0;
  }
  seen.keys += message == WM_KEYDOWN ? 1 : 0;
  seen.commands += message == WM_COMMAND ? 1 : 0;
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// A plain top-level window standing in for the main window.
win32::OwnedWindow TestWindow() {
  static const ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = Module();
    windowClass.lpszClassName = "RovantServicesTest";
    return ::RegisterClassA(&windowClass);
  }();
  EXPECT_NE(atom, 0);
  seen = {};
  return win32::OwnedWindow(::CreateWindowExA(0, "RovantServicesTest", "main", WS_OVERLAPPEDWINDOW,
                                              0, 0, 200, 100, nullptr, nullptr, Module(), nullptr));
}

std::string ControlText(HWND dialog, int id) {
  std::array<char, 256> text{};
  ::GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
  return text.data();
}

TEST(StatusWindow, ShowsItsTextUnderTheMainWindowUntilClosed) {
  const win32::OwnedWindow main = TestWindow();
  ASSERT_NE(main.get(), nullptr);
  Win32OperationHost host(Module(), main.get());
  host.ShowStatus(msg::kStatusReading);
  const HWND status = host.StatusWindow();
  ASSERT_TRUE(::IsWindowVisible(status));
  EXPECT_EQ(::GetWindow(status, GW_OWNER), main.get());
  RECT rect{};
  ASSERT_TRUE(::GetWindowRect(status, &rect));
  EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
  EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
  // A new status replaces the old one.
  host.ShowStatus("second");
  EXPECT_FALSE(::IsWindow(status));
  EXPECT_EQ(ControlText(host.StatusWindow(), IDC_STATUS_TEXT), "second");
  host.CloseStatus();
  EXPECT_EQ(host.StatusWindow(), nullptr);
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

  std::ofstream(path, std::ios::binary) << "old";
  host.LogReply(reply);
  host.LogReply(std::span<const char>(reply, 2));
  std::ifstream in(path, std::ios::binary);
  const std::string content{std::istreambuf_iterator<char>(in), {}};
  in.close();
  ::DeleteFileA(path.c_str());
  EXPECT_EQ(content, "old" + std::string(reply, 6) + std::string(reply, 2));
}

TEST(Win32Clock, PaintsDuringAWaitButLeavesInputQueued) {
  const win32::OwnedWindow window = TestWindow();
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
  const std::uint64_t before = clock.NowMs();
  clock.SleepMs(30);
  EXPECT_GT(clock.NowMs(), before);

  EXPECT_GE(seen.paints, 1);
  EXPECT_EQ(seen.keys, 0);
  EXPECT_EQ(seen.commands, 0);
  ASSERT_TRUE(::PeekMessageA(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(::PeekMessageA(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_COMMAND));
}

TEST(InstanceMutex, AnAbandonedMutexIsTakenOver) {
  const std::string name = "Local\\RovantAbandonedTest_" + std::to_string(::GetCurrentProcessId());
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

TEST(HelpControl, IsLoadedOnlyFromAFileDirectlyInTheFolder) {
  // path, folder, the file is directly inside
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"C:\\Windows\\System32\\hhctrl.ocx", "C:\\Windows\\System32", true},
      {"c:\\windows\\system32\\HHCTRL.OCX", "C:\\Windows\\System32\\", true},
      {"C:\\Windows\\System32\\sub\\hhctrl.ocx", "C:\\Windows\\System32", false},
      {"C:\\Windows\\System32\\..\\hhctrl.ocx", "C:\\Windows\\System32", false},
      {"C:\\Windows\\System32x\\hhctrl.ocx", "C:\\Windows\\System32", false},
      {"hhctrl.ocx", "C:\\Windows\\System32", false},
      {"C:\\Windows\\System32\\", "C:\\Windows\\System32", false},
      {"D:\\Windows\\System32\\hhctrl.ocx", "C:\\Windows\\System32", false},
      {"C:\\Windows\\System32\\hhctrl.ocx", "", false},
      {"C:\\hhctrl.ocx", "C:\\", true}};
  for (const auto& [path, folder, inside] : cases)
    EXPECT_EQ(IsFileInFolder(path, folder), inside) << path << " in " << folder;
}

TEST(Win32Spooler, APrinterThatDoesNotExistCannotBeOpened) {
  for (const bool nt : {true, false}) {
    Win32Spooler spooler(nt);
    SpoolerPrinter facts;
    facts.jobCount = 5;
    const SpoolerPrinterName name{"ROVANT test: no such printer", u"ROVANT test: no such printer"};
    EXPECT_EQ(spooler.ReadPrinter(name, facts), SpoolerRead::kCannotOpen) << nt;
    EXPECT_EQ(facts.jobCount, 5u);
    EXPECT_EQ(spooler.ReadPrinter({}, facts), SpoolerRead::kCannotOpen) << nt;
  }
}

// A printer added for the test on a driver named like the supported one,
// made from Wine's own PostScript driver files, with the datatype "RAW" that
// Wine needs to open it; it is removed again at the end.
class AddedPrinter : public ::testing::Test {
 protected:
  static constexpr wchar_t kKey[] =
      L"System\\CurrentControlSet\\Control\\Print\\Printers\\ROVANT spooler test";

  void SetUp() override {
    wchar_t driver[] = L"Vek HX320", file[] = L"wineps.drv", data[] = L"generic.ppd";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = driver;
    info.pDriverPath = info.pConfigFile = file;
    info.pDataFile = data;
    if (::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES) ==
        FALSE) {
      GTEST_SKIP() << "no driver can be added here: " << ::GetLastError();
    }
    wchar_t name[] = L"ROVANT spooler test", port[] = L"LPT1:", processor[] = L"WinPrint";
    wchar_t datatype[] = L"RAW";  // Wine opens a printer only when it has a datatype
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = name;
    printer.pPortName = port;
    printer.pDriverName = driver;
    printer.pPrintProcessor = processor;
    printer.pDatatype = datatype;
    printer.Attributes = PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_LOCAL;
    added_ = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
  }

  void TearDown() override {
    wchar_t name[] = L"ROVANT spooler test";
    HANDLE printer = added_;
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (printer == nullptr) ::OpenPrinterW(name, &printer, &all);
    if (printer != nullptr) {
      ::DeletePrinter(printer);
      ::ClosePrinter(printer);
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);  // in case it was only half added
  }

  static const SpoolerPrinter* Find(const std::vector<SpoolerPrinter>& printers) {
    for (const SpoolerPrinter& p : printers)
      if (p.printerName == "ROVANT spooler test") return &p;
    return nullptr;
  }

  HANDLE added_ = nullptr;
};

TEST_F(AddedPrinter, IsListedWithItsPortDriverAndAttributes) {
  const std::vector<SpoolerPrinter> wide = Win32Spooler(true).EnumeratePrinters();
  const SpoolerPrinter* listed = Find(wide);
  if (listed == nullptr) GTEST_SKIP() << "the printer could not be added here";
  EXPECT_EQ(listed->printerNameWide, u"ROVANT spooler test");
  EXPECT_EQ(listed->portName, "LPT1:");
  EXPECT_EQ(listed->driverName, "Vek HX320");
  EXPECT_NE(listed->attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);

  const std::vector<SpoolerPrinter> ansi = Win32Spooler(false).EnumeratePrinters();
  const SpoolerPrinter* listedAnsi = Find(ansi);
  ASSERT_NE(listedAnsi, nullptr);
  EXPECT_TRUE(listedAnsi->printerNameWide.empty());
  EXPECT_EQ(listedAnsi->portName, "LPT1:");
  EXPECT_EQ(listedAnsi->driverName, "Vek HX320");

  for (const bool nt : {true, false}) {
    SpoolerPrinter facts;
    const SpoolerRead read =
        Win32Spooler(nt).ReadPrinter({listed->printerName, listed->printerNameWide}, facts);
    ASSERT_EQ(read, SpoolerRead::kDone) << (nt ? "wide" : "ANSI");
    EXPECT_EQ(facts.portName, "LPT1:");
    EXPECT_EQ(facts.driverName, "Vek HX320");
    EXPECT_NE(facts.attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);
  }
}

}  // namespace
}  // namespace rovant::ui
