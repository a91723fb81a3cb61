// The program's windows and the Windows services under Wine, with fakes behind every interface:
// only what neither the portable rules nor the end-to-end scenarios see.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/win32/unique_handle.hpp"
#include "protocol/app_state.hpp"
#include "resources/resource_ids.h"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/ui/ui_fakes.hpp"
#include "texts/printer_messages.hpp"
#include "texts/selection_messages.hpp"
#include "ui/page_context.hpp"
#include "ui/page_layout.hpp"
#include "ui/page_rules.hpp"
#include "ui/startup.hpp"
#include "ui/win32/clock_win32.hpp"
#include "ui/win32/html_help_viewer.hpp"
#include "ui/win32/main_window.hpp"
#include "ui/win32/operation_host_win32.hpp"
#include "ui/win32/printer_selection_dialog.hpp"
#include "ui/win32/spooler_win32.hpp"
#include "ui/win32/startup_services_win32.hpp"

namespace rovant::ui {
namespace {

// Handles what the test thread's queue holds (the restore timer, paint, the quit message a
// destroyed MainWindow posted).
void DrainMessages() {
  MSG message{};
  for (int n = 0; n < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0; ++n)
    if (message.message != WM_QUIT) DispatchMessageA(&message);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.settings = kFactoryDefaults;
    static const ATOM registered = RegisterMainClass(instance);
    (void)registered;
    ASSERT_TRUE(window.Create(SW_SHOWNORMAL)) << "the MainWindow could not be created";
    boxes.shown.clear();
  }
  void TearDown() override {
    if (window.window() != nullptr) DestroyWindow(window.window());
    DrainMessages();
  }

  [[nodiscard]] HWND Main() { return window.window(); }
  [[nodiscard]] HWND Panel() { return window.panel().window(); }
  [[nodiscard]] HWND Tabs() { return window.panel().tabs(); }
  [[nodiscard]] HWND Button(int id) { return window.panel().button(id); }
  [[nodiscard]] HWND Page() { return pages.CurrentPageWindow(); }
  void Focus(HWND control) {
    SendMessageA(Panel(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ASSERT_EQ(GetFocus(), control);
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  testing::CallLog log;
  AppState state;
  testing::FakeMessageBoxes boxes{log};
  testing::FakeClock clock{log};
  testing::FakeCommandOperations operations{log};
  PageContext pageContext{state, boxes};
  SettingPages pages{pageContext, instance};
  CommandContext commands{state,      operations, boxes,     clock,      operations,
                          operations, kNoWindow,  kNoWindow, "C:\\start"};
  MainWindow window{MainWindowParts{instance, pages, boxes, clock, commands}};
};

TEST_F(WindowTest, CreationBuildsTheFrameThePanelAndTheFirstPage) {
  for (UINT command : {SC_SIZE, SC_MAXIMIZE})
    EXPECT_EQ(GetMenuState(GetSystemMenu(Main(), FALSE), command, MF_BYCOMMAND), UINT(-1));
  EXPECT_EQ(commands.mainWindow, reinterpret_cast<WindowRef>(Main()));
  EXPECT_EQ(commands.panel, reinterpret_cast<WindowRef>(Panel()));

  // The whole panel shows: the client area is its size, at its origin; the window is centred.
  RECT panel{};
  RECT client{};
  GetClientRect(Panel(), &panel);
  GetClientRect(Main(), &client);
  MapWindowPoints(Panel(), Main(), reinterpret_cast<POINT*>(&panel), 2);
  EXPECT_TRUE(EqualRect(&client, &panel));
  RECT frame{};
  GetWindowRect(Main(), &frame);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

  // A tab for each page; MENU1's page alone, below the tabs and inside the tab control (above it
  // in the z-order, the scenarios' Tab cycle shows).
  ASSERT_EQ(SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(kPageCount));
  for (const PageLayout& layout : kPages)
    EXPECT_EQ(pages.PageWindow(layout.index) != nullptr, layout.index == kMenu1Page);
  RECT item{};
  SendMessageA(Tabs(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  RECT page{};
  RECT tabs{};
  GetWindowRect(Page(), &page);
  GetWindowRect(Tabs(), &tabs);
  MapWindowPoints(nullptr, Panel(), reinterpret_cast<POINT*>(&page), 2);
  MapWindowPoints(nullptr, Panel(), reinterpret_cast<POINT*>(&tabs), 2);
  EXPECT_EQ(page.left, kPageLeft);
  EXPECT_EQ(page.top, item.bottom + 2);
  EXPECT_EQ(window.panel().pageTop(), page.top);
  RECT both{};
  UnionRect(&both, &tabs, &page);
  EXPECT_TRUE(EqualRect(&both, &tabs)) << "the page lies inside the tab control";
  EXPECT_EQ(GetFocus(), Button(IDC_READ));
}

TEST_F(WindowTest, APageThatCannotBeCreatedIsReported) {
  // Pages from a module without the templates: the panel's MENU1 page cannot be created.
  DestroyWindow(Main());
  DrainMessages();
  AppState otherState;
  PageContext otherContext{otherState, boxes};
  SettingPages noTemplates{otherContext, GetModuleHandleA("kernel32.dll")};
  MainWindow other{MainWindowParts{instance, noTemplates, boxes, clock, commands}};
  boxes.shown.clear();
  EXPECT_FALSE(other.Create(SW_SHOWNORMAL));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, kResourceInsufficient);
}

TEST_F(WindowTest, FocusComesBackAfterARestore) {
  HWND combo = GetDlgItem(Page(), PageAt(kMenu1Page).rows[3].comboId);
  Focus(combo);
  SendMessageA(Main(), WM_ACTIVATE, WA_INACTIVE, 0);  // deactivated: the focus is saved
  EXPECT_EQ(window.savedFocus(), combo);
  Focus(Button(IDC_FINISH));
  SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, 0);
  SendMessageA(Main(), WM_TIMER, kRestoreFocusTimer, 0);
  EXPECT_EQ(GetFocus(), combo);
  // The main window itself, when it gets the focus, hands it on to the saved control.
  SetFocus(Main());
  EXPECT_EQ(GetFocus(), combo);
}

TEST_F(WindowTest, SelectionAndCloseUpAreTakenOtherNotificationsAreNot) {
  const PageRow& row = PageAt(kMenu1Page).rows[4];  // stored as soon as it is chosen
  for (const auto& [code, stored] :
       {std::pair{CBN_SELCHANGE, true}, std::pair{CBN_CLOSEUP, true},
        std::pair{CBN_DROPDOWN, false}, std::pair{CBN_SETFOCUS, false}}) {
    state.settings = kFactoryDefaults;
    pages.RefreshCurrentPage();
    const int other = state.settings[row.record] == 0 ? 1 : 0;
    HWND combo = GetDlgItem(Page(), row.comboId);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(row.comboId, code),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(state.settings[row.record] == other, stored) << "notification " << code;
  }
}

// The page's refresh is WM_SETREDRAW, which the default processing would take as "stop
// drawing" (and clear WS_VISIBLE): the page handles it and never passes it on.
TEST_F(WindowTest, RefreshMessageReloadsAndIsNeverPassedOn) {
  ASSERT_TRUE(GetWindowLongA(Page(), GWL_STYLE) & WS_VISIBLE);
  ApplyEmulationReset(state.settings, MenuBlock::kMenu1, kXl24e);
  pages.RefreshCurrentPage();
  // The rules' enabled states, label and combo together (what the combos show is the scenarios').
  for (const PageRow& row : PageAt(kMenu1Page).rows) {
    const bool enabled = IsWindowEnabled(GetDlgItem(Page(), row.comboId)) != FALSE;
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(Page(), row.labelId)) != FALSE, enabled) << row.item;
    EXPECT_EQ(enabled, !kCatalogue[row.record].readOnly &&
                           InEffect(row.record, state.settings, ModelCode::kHx320));
  }
  EXPECT_EQ(SendMessageA(Page(), WM_SETREDRAW, 0, 0), 0);
  EXPECT_TRUE(GetWindowLongA(Page(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowTest, TooltipsAreTheButtonsThenTheLabelsOfEveryPage) {
  for (const PageLayout& layout : kPages) {
    HWND page = pages.SwitchTo(layout.index);
    ASSERT_NE(page, nullptr);
    HWND tip = pages.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), Main());
    EXPECT_EQ(GetWindowLongA(tip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX),
              TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);

    const TooltipOrder order = TooltipToolsOf(layout);
    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(order.count));
    for (std::size_t i = 0; i < order.count; ++i) {
      const ControlId id = order.ids[i];
      HWND control = GetDlgItem(i < kTooltipButtons.size() ? Panel() : page, id);
      TOOLINFOA tool{};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)));
      EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(control)) << id;
      EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), TTF_IDISHWND | TTF_SUBCLASS);
      EXPECT_EQ(tool.hwnd, Main());
      // The text is the string resource whose id is the control's (the classic controls hand
      // back its first 79 characters).
      char text[512] = {};
      char expected[512] = {};
      tool.lpszText = text;
      SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
      ASSERT_GT(LoadStringA(instance, id, expected, sizeof expected), 0) << id;
      EXPECT_EQ(std::string(text).substr(0, 79), std::string(expected).substr(0, 79)) << id;
    }
    // Replaced on every call.
    pages.AttachTooltips();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_NE(pages.TooltipWindow(), nullptr);
  }
}

// The selection dialog, with a fake spooler.
int ScreenTextWidth(std::string_view text) {
  HDC dc = ::GetDC(nullptr);
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  ::ReleaseDC(nullptr, dc);
  return static_cast<int>(size.cx);
}

std::string ItemText(HWND list, std::size_t row, int column) {
  char buffer[256] = {};
  ListView_GetItemText(list, static_cast<int>(row), column, buffer, sizeof buffer);
  return buffer;
}

class SelectionDialog : public testing::SelectionTest {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    spooler.printers = {
        testing::Printer("Text printer", "LPT2:", "Generic / Text Only"),
        testing::Printer("HX320 on a file", "FILE:"),
        testing::Printer("HX310 ready with a rather long name", "USB001", "Vek HX310")};
    window.reset(dialog.CreateModeless(nullptr));
    ASSERT_NE(window.get(), nullptr);
  }
  static HWND List(HWND window) { return ::GetDlgItem(window, IDC_PRINTER_LIST); }

  PrinterSelection selection{context};
  PrinterSelectionDialog dialog{::GetModuleHandleA(nullptr), selection};
  win32::OwnedWindow window;
};

// Rows, icons, headings and column widths, as the dialog shows them for `printers`.
void ExpectList(HWND list, const std::vector<SpoolerPrinter>& printers) {
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(printers.size()));
  int widths[2] = {ScreenTextWidth(msg::kColumnPrinterName), ScreenTextWidth(msg::kColumnPort)};
  for (std::size_t row = 0; row < printers.size(); ++row) {
    EXPECT_EQ(ItemText(list, row, 0), printers[row].printerName);
    EXPECT_EQ(ItemText(list, row, 1), printers[row].portName);
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = static_cast<int>(row);
    ListView_GetItem(list, &item);
    EXPECT_EQ(item.iImage, static_cast<int>(row)) << "each row its own icon";
    widths[0] = std::max(widths[0], ScreenTextWidth(printers[row].printerName));
    widths[1] = std::max(widths[1], ScreenTextWidth(printers[row].portName));
  }
  const HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(images), static_cast<int>(printers.size()));
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 2);
  const std::string_view headings[2] = {msg::kColumnPrinterName, msg::kColumnPort};
  for (int column = 0; column < 2; ++column) {
    char text[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = sizeof text;
    ListView_GetColumn(list, column, &c);
    EXPECT_EQ(text, headings[column]);
    EXPECT_EQ(ListView_GetColumnWidth(list, column), widths[column])
        << "as wide as its widest text";
  }
}

// Built when the dialog opens, and again on a setting change.
TEST_F(SelectionDialog, ListsEveryPrinterWithItsIconPortAndColumns) {
  const HWND list = List(window.get());
  ExpectList(list, spooler.printers);
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_EQ(::GetWindowLongPtrA(window.get(), GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
  spooler.printers.erase(spooler.printers.begin());
  ::SendMessageA(window.get(), WM_SETTINGCHANGE, 0, 0);
  ExpectList(list, spooler.printers);
  EXPECT_NE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_TRUE(boxes.shown.empty());
}

// OK takes the focused row: without one the dialog stays (the message is the selection's). A
// double click acts as OK.
TEST_F(SelectionDialog, OkAndADoubleClickChooseTheFocusedRow) {
  const HWND list = List(window.get());
  ListView_SetItemState(list, -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
  ::SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(IDC_SELECTION_OK, BN_CLICKED), 0);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_FALSE(dialog.result().has_value());
  EXPECT_EQ(::GetFocus(), list);

  ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  NMITEMACTIVATE click{};
  click.hdr = {list, IDC_PRINTER_LIST, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 1;
  ::SendMessageA(window.get(), WM_NOTIFY, IDC_PRINTER_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(dialog.result(), SelectionResult::kChosen);
  EXPECT_EQ(dialog.chosenRow(), std::optional<std::size_t>(1));
}

// The modal dialog: a hook counts its activations.
int gActivations = 0;

LRESULT CALLBACK CountActivations(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) ++gActivations;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SelectionDialog, WithoutASupportedPrinterTheModalDialogIsNeverShown) {
  spooler.printers = {testing::Printer("Text printer", "LPT2:", "Generic / Text Only")};
  gActivations = 0;
  HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CountActivations, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  PrinterSelectionDialog modal{::GetModuleHandleA(nullptr), selection};
  const SelectionResult result = modal.RunModal(nullptr);
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(result, SelectionResult::kNoSupportedPrinter);
  EXPECT_EQ(gActivations, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

// The services, on a plain window.
HINSTANCE Module() { return ::GetModuleHandleA(nullptr); }

int gPaints = 0;  // what the test windows painted

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint{};
    ::BeginPaint(window, &paint);
    ::EndPaint(window, &paint);
    ++gPaints;
    return 0;
  }
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
  return win32::OwnedWindow(::CreateWindowExA(0, "RovantServicesTest", "main", WS_OVERLAPPEDWINDOW,
                                              0, 0, 200, 100, nullptr, nullptr, Module(), nullptr));
}

TEST(StatusWindow, IsCentredUnderTheMainWindowAndReplacedByTheNext) {
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
  DrainMessages();
  ::ValidateRect(window.get(), nullptr);
  gPaints = 0;

  ::InvalidateRect(window.get(), nullptr, FALSE);
  ASSERT_TRUE(::PostMessageA(window.get(), WM_KEYDOWN, VK_SPACE, 0));
  ASSERT_TRUE(::PostMessageA(window.get(), WM_COMMAND, 1, 0));
  Win32Clock clock;
  const std::uint64_t before = clock.NowMs();
  clock.SleepMs(30);
  EXPECT_GT(clock.NowMs(), before);

  EXPECT_GE(gPaints, 1);
  // The input is still queued, in its order: never dispatched.
  MSG message{};
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

// Through the ANSI family of calls: the scenarios meet only the wide one.
TEST_F(AddedPrinter, IsListedAndReadWithItsPortDriverAndAttributes) {
  const std::vector<SpoolerPrinter> ansi = Win32Spooler(false).EnumeratePrinters();
  const SpoolerPrinter* listed = Find(ansi);
  if (listed == nullptr) GTEST_SKIP() << "the printer could not be added here";
  EXPECT_TRUE(listed->printerNameWide.empty());
  SpoolerPrinter read;
  ASSERT_EQ(Win32Spooler(false).ReadPrinter({listed->printerName, u""}, read), SpoolerRead::kDone);
  for (const SpoolerPrinter& printer : {*listed, read}) {
    EXPECT_EQ(printer.portName, "LPT1:");
    EXPECT_EQ(printer.driverName, "Vek HX320");
    EXPECT_NE(printer.attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);
  }
}

}  // namespace
}  // namespace rovant::ui
