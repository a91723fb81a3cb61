// The MainWindow, the panel and the pages on real windows (under Wine), with fakes behind every
// interface: message boxes answer from a script, the printer link records what is sent, the
// spooler reports one ready printer, the file system is in memory. Driven by messages.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_commands.hpp"
#include "model/catalogue.hpp"
#include "protocol/printer_operation.hpp"
#include "protocol/setting_text.hpp"
#include "resources/resource_ids.h"
#include "tests/fakes/fake_file_system.hpp"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "tests/ui/selection_fixture.hpp"
#include "texts/command_texts.hpp"
#include "ui/commands.hpp"
#include "ui/core_command_operations.hpp"
#include "ui/page_context.hpp"
#include "ui/win32/main_window.hpp"
#include "ui/win32/rovant_app.hpp"

namespace rovant::ui {
namespace {

using testing::CallLog;

constexpr const char* kSettingsFolder = "C:\\settings";
constexpr unsigned kQuitStyle = MB_YESNOCANCEL | MB_ICONQUESTION;

class FakeHelp final : public HelpViewer {
 public:
  WindowRef ShowTopic(WindowRef, std::string_view path) override {
    shown.emplace_back(path);
    return kNoWindow;
  }
  void CloseAll() override { ++closeAll; }
  std::vector<std::string> shown;
  int closeAll = 0;
};

class FakeDirectory final : public CurrentDirectory {
 public:
  bool Set(std::string_view) override { return true; }
};

// The real operations, except that a read, when scripted, puts the given record in place and
// refreshes the page as a successful read does.
class ScriptedOperations final : public CommandOperations {
 public:
  ScriptedOperations(CommandOperations& real, AppState& state, PageStore& pages)
      : real_(real), state_(state), pages_(pages) {}
  int CheckPrinterReady() override { return real_.CheckPrinterReady(); }
  ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) override {
    if (!readRecord) return real_.ReadPrinterSettings(mode, owner);
    ++reads;
    state_.settings = *readRecord;
    pages_.RefreshCurrentPage();
    return ReadResult::kDone;
  }
  WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) override {
    return real_.WritePrinterSettings(mode, owner);
  }
  bool OpenSettingFile() override { return real_.OpenSettingFile(); }
  bool SaveSettingFile() override { return real_.SaveSettingFile(); }
  bool StoreWorkingCopy() override { return real_.StoreWorkingCopy(); }

  std::optional<SettingsRecord> readRecord;
  int reads = 0;

 private:
  CommandOperations& real_;
  AppState& state_;
  PageStore& pages_;
};

std::string Text(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// Handles what the test thread's queue holds (the restore timer, paint) and returns the code
// of the quit message a destroyed MainWindow posted, if there is one.
std::optional<WPARAM> DrainQuitMessage() {
  std::optional<WPARAM> quit;
  MSG message{};
  for (int n = 0; n < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0; ++n) {
    if (message.message == WM_QUIT) {
      quit = message.wParam;
    } else {
      DispatchMessageA(&message);
    }
  }
  return quit;
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    state.settings = kFactoryDefaults;
    state.selectedPrinter.printerName = "Vek HX320";
    state.selectedPrinter.portName = "LPT1:";
    state.selectedPrinter.driverName = "Vek HX320";
    state.selectedPrinter.modelCode = ModelCode::kHx320;
    spooler.printers.push_back(testing::Printer("Vek HX320"));
  }

  void SetUp() override {
    static const ATOM registered = RegisterMainClass(instance);
    (void)registered;
    ASSERT_TRUE(window.Create(SW_SHOWNORMAL)) << "the MainWindow could not be created";
    boxes.shown.clear();
  }

  void TearDown() override {
    if (window.window() != nullptr) DestroyWindow(window.window());
    DrainQuitMessage();
  }

  [[nodiscard]] HWND Main() { return window.window(); }
  [[nodiscard]] HWND Panel() { return window.panel().window(); }
  [[nodiscard]] HWND Tabs() { return window.panel().tabs(); }
  [[nodiscard]] HWND Button(int id) { return window.panel().button(id); }
  [[nodiscard]] HWND Page() { return pages.CurrentPageWindow(); }
  [[nodiscard]] HWND Control(ControlId id) { return GetDlgItem(Page(), id); }

  // The user picks tab `tab`: the selection changes and the tab control says so.
  void SelectTab(int tab) {
    SendMessageA(Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(Panel(), WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
  }
  // The user picks entry `index` of a combo on the current page.
  void Choose(ControlId combo, int index) {
    HWND control = Control(combo);
    ASSERT_NE(control, nullptr);
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
  }
  [[nodiscard]] int Chosen(ControlId combo) {
    return static_cast<int>(SendMessageA(Control(combo), CB_GETCURSEL, 0, 0));
  }
  void Click(int id) {
    SendMessageA(Panel(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Button(id)));
  }
  void Focus(HWND control) {
    SendMessageA(Panel(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ASSERT_EQ(GetFocus(), control);
  }
  // The setting text a transfer of `record` carries.
  static std::string TextOf(const SettingsRecord& record) {
    SettingText text;
    ItemList refused;
    EXPECT_TRUE(BuildSettingText(record, ModelCode::kHx320, text, refused));
    return std::string(text.view());
  }
  // Handles what the queue holds as the message loop does.
  void Pump() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      if (!window.PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  }
  [[nodiscard]] bool Sent(const std::string& bytes) const {
    return std::find(link.sent.begin(), link.sent.end(), bytes) != link.sent.end();
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  CallLog log;
  AppState state;
  testing::FakeMessageBoxes boxes{log};
  testing::FakeClock clock{log};
  testing::FakeCursor cursor{log};
  testing::FakePrinterLink link{log};
  testing::FakeOperationHost host{log};
  testing::FakeSpooler spooler{log};
  testing::FakeFileSystem fs{log};
  testing::FakeFileDialogs dialogs{log};
  FakeHelp help;
  FakeDirectory directory;
  PageContext pageContext{state, boxes};
  SettingPages pages{pageContext, instance};
  SelectionContext selection{state, spooler, boxes, kNoWindow};
  FileCommandContext files{fs,    dialogs,        boxes,           cursor,
                           pages, state.settings, kSettingsFolder, kNoWindow};
  PrinterOperationContext printer{state, link, clock, host, cursor, boxes, pages};
  CoreCommandOperations core{printer, selection, files};
  ScriptedOperations operations{core, state, pages};
  CommandContext commands{state,     operations, boxes,     clock,      help,
                          directory, kNoWindow,  kNoWindow, "C:\\start"};
  MainWindow window{MainWindowParts{instance, pages, boxes, clock, commands}};
};

// ---- Creation ----

TEST_F(WindowTest, MainWindowHasItsClassTitleAndStyle) {
  char className[64] = {};
  GetClassNameA(Main(), className, sizeof className);
  EXPECT_STREQ(className, "rovant");
  EXPECT_EQ(Text(Main()), "ROVANT");
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(Main(), GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
            static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
  EXPECT_NE(GetMenu(Main()), nullptr);
  EXPECT_EQ(GetParent(Panel()), Main());
  EXPECT_NE(IsWindowVisible(Main()), FALSE);
  EXPECT_NE(IsWindowVisible(Panel()), FALSE);
  EXPECT_NE(window.accelerators(), nullptr);
  EXPECT_EQ(commands.mainWindow, reinterpret_cast<WindowRef>(Main()));
  EXPECT_EQ(commands.panel, reinterpret_cast<WindowRef>(Panel()));
}

TEST_F(WindowTest, WindowIsSizedToThePanelAndCentred) {
  RECT panel{};
  GetClientRect(Panel(), &panel);
  RECT client{};
  GetClientRect(Main(), &client);
  // The whole panel shows: the main window's client area is exactly its size.
  EXPECT_EQ(client.right, panel.right);
  EXPECT_EQ(client.bottom, panel.bottom);
  RECT frame{};
  GetWindowRect(Main(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  EXPECT_GT(height, panel.bottom + GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  // The panel sits at the client area's origin.
  POINT origin{0, 0};
  MapWindowPoints(Panel(), Main(), &origin, 1);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
}

TEST_F(WindowTest, SystemMenuLacksSizeAndMaximize) {
  HMENU system = GetSystemMenu(Main(), FALSE);
  ASSERT_NE(system, nullptr);
  std::vector<UINT> ids;
  for (int k = 0; k < GetMenuItemCount(system); ++k) ids.push_back(GetMenuItemID(system, k));
  const auto has = [&ids](UINT id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
  EXPECT_FALSE(has(SC_SIZE));
  EXPECT_FALSE(has(SC_MAXIMIZE));
  EXPECT_TRUE(has(SC_RESTORE));
  EXPECT_TRUE(has(SC_MOVE));
  EXPECT_TRUE(has(SC_MINIMIZE));
  EXPECT_TRUE(has(SC_CLOSE));
}

TEST_F(WindowTest, PanelHasFiveTabsAndTheMenu1PageBelowThem) {
  ASSERT_EQ(SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0), 5);
  for (const PageLayout& layout : kPages) {
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Tabs(), TCM_GETITEMA, layout.index, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(text), layout.tabText);
  }
  EXPECT_EQ(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(pageContext.currentPage, kMenu1Page);
  ASSERT_NE(pages.PageWindow(kMenu1Page), nullptr);
  for (PageIndex other : {kMenu2Page, kHardwarePage, kAdjustPage, kConfigPage})
    EXPECT_EQ(pages.PageWindow(other), nullptr);

  RECT item{};
  SendMessageA(Tabs(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(window.panel().pageTop(), item.bottom + 2);
  POINT place{0, 0};
  MapWindowPoints(Page(), Panel(), &place, 1);
  EXPECT_EQ(place.x, kPageLeft);
  EXPECT_EQ(place.y, item.bottom + 2);
  EXPECT_NE(IsWindowVisible(Page()), FALSE);
  // Above the tab control in the panel's z-order.
  EXPECT_EQ(GetWindow(Panel(), GW_CHILD), Page());
  EXPECT_NE(pages.TooltipWindow(), nullptr);
}

TEST_F(WindowTest, ReadingButtonHasTheFocusAfterCreation) {
  EXPECT_EQ(GetFocus(), Button(IDC_READ));
}

// ---- Tab change ----

TEST_F(WindowTest, Menu1ChoicesSurviveAVisitToConfig) {
  const ControlId font = PageAt(kMenu1Page).rows[1].comboId;
  const int before = Chosen(font);
  const int chosen = before == 0 ? 1 : 0;
  Choose(font, chosen);

  SelectTab(kConfigPage);
  EXPECT_EQ(pageContext.currentPage, kConfigPage);
  EXPECT_EQ(pages.PageWindow(kMenu1Page), nullptr) << "the outgoing page is destroyed";
  ASSERT_NE(pages.PageWindow(kConfigPage), nullptr);
  EXPECT_EQ(state.settings[1], chosen) << "the outgoing page is stored first";
  POINT place{0, 0};
  MapWindowPoints(Page(), Panel(), &place, 1);
  EXPECT_EQ(place.x, kPageLeft);
  EXPECT_EQ(place.y, window.panel().pageTop());

  SelectTab(kMenu1Page);
  EXPECT_EQ(pages.PageWindow(kConfigPage), nullptr);
  EXPECT_EQ(Chosen(font), chosen);
}

TEST_F(WindowTest, TabChangeMovesTheFocusToTheNewPageUnlessOnTheTabs) {
  Focus(Button(IDC_TRANSFER));
  SelectTab(kAdjustPage);
  EXPECT_EQ(GetFocus(), Control(PageAt(kAdjustPage).firstAnchor));

  Focus(Tabs());
  SelectTab(kHardwarePage);
  EXPECT_EQ(GetFocus(), Tabs());
}

TEST_F(WindowTest, APageThatCannotBeCreatedIsReported) {
  // Pages from a module without the templates: the panel's MENU1 page cannot be created.
  DestroyWindow(Main());
  DrainQuitMessage();
  AppState otherState;
  PageContext otherContext{otherState, boxes};
  SettingPages noTemplates{otherContext, GetModuleHandleA("kernel32.dll")};
  MainWindow other{MainWindowParts{instance, noTemplates, boxes, clock, commands}};
  boxes.shown.clear();
  EXPECT_FALSE(other.Create(SW_SHOWNORMAL));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Warning: Resource is insufficient. Finish other applications.");
  EXPECT_EQ(boxes.shown[0].owner, kNoWindow);
  EXPECT_EQ(boxes.shown[0].style, static_cast<unsigned>(MB_ICONSTOP | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes.shown[0].icon, 0u);
}

// ---- Commands ----

TEST_F(WindowTest, TransferButtonSendsWhatTheVisiblePageShows) {
  SelectTab(kMenu2Page);
  const ControlId pitch = PageAt(kMenu2Page).rows[3].comboId;
  const std::uint8_t record = PageAt(kMenu2Page).rows[3].record;
  const int chosen = Chosen(pitch) == 1 ? 2 : 1;
  Choose(pitch, chosen);
  // A second combo changed on the page without telling it: only the store before the
  // transfer can bring it into the record.
  const ControlId quality = PageAt(kMenu2Page).rows[2].comboId;
  const std::uint8_t qualityRecord = PageAt(kMenu2Page).rows[2].record;
  const int quiet = Chosen(quality) == 0 ? 1 : 0;
  SendMessageA(Control(quality), CB_SETCURSEL, static_cast<WPARAM>(quiet), 0);
  ASSERT_NE(state.settings[qualityRecord], quiet);
  SettingsRecord expected = state.settings;
  expected[record] = static_cast<std::uint8_t>(chosen);
  expected[qualityRecord] = static_cast<std::uint8_t>(quiet);

  boxes.answers = {IDOK};
  Click(IDC_TRANSFER);
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_EQ(boxes.shown[0].text, msg::kConfirmTransfer);
  EXPECT_EQ(boxes.shown[0].owner, reinterpret_cast<WindowRef>(Panel()));
  EXPECT_TRUE(Sent(TextOf(expected))) << "the setting text of the page as shown";
  EXPECT_FALSE(Sent(TextOf(kFactoryDefaults)));
  EXPECT_EQ(state.settings, expected);
}

TEST_F(WindowTest, CancelAtTheConfirmationSendsNothing) {
  boxes.answers = {IDCANCEL};
  Focus(Control(PageAt(kMenu1Page).rows[2].comboId));
  Click(IDC_TRANSFER);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(link.sent.empty());

  boxes.answers = {IDCANCEL};
  SendMessageA(Main(), WM_COMMAND, IDM_TRANSFER, 0);
  EXPECT_TRUE(link.sent.empty());
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].owner, reinterpret_cast<WindowRef>(Main()));
  EXPECT_EQ(GetFocus(), Control(PageAt(kMenu1Page).rows[2].comboId));
}

TEST_F(WindowTest, MenuReadReturnsTheFocusToTheSameCombo) {
  HWND font = Control(PageAt(kMenu1Page).rows[1].comboId);
  Focus(font);
  operations.readRecord = kFactoryDefaults;
  boxes.answers = {IDOK};
  SendMessageA(Main(), WM_COMMAND, IDM_READ, 0);
  EXPECT_EQ(operations.reads, 1);
  EXPECT_EQ(boxes.shown.at(0).owner, reinterpret_cast<WindowRef>(Main()));
  EXPECT_EQ(GetFocus(), font);
  EXPECT_EQ(window.savedFocus(), font);
}

TEST_F(WindowTest, MenuReadMovesTheFocusToReadingWhenItsComboBecameDisabled) {
  const ControlId zeroFont = PageAt(kMenu1Page).rows[18].comboId;
  ASSERT_EQ(PageAt(kMenu1Page).rows[18].item, "ZEROFNT");
  Focus(Control(zeroFont));
  SettingsRecord escP2 = kFactoryDefaults;
  escP2[kMenu1Emulate] = kEscP2;
  operations.readRecord = escP2;
  boxes.answers = {IDOK};
  SendMessageA(Main(), WM_COMMAND, IDM_READ, 0);
  EXPECT_EQ(operations.reads, 1);
  EXPECT_EQ(IsWindowEnabled(Control(zeroFont)), FALSE);
  EXPECT_EQ(GetFocus(), Button(IDC_READ));
}

TEST_F(WindowTest, AltRIsTheMenuReadEvenWithTheFocusInAPage) {
  HWND font = Control(PageAt(kMenu1Page).rows[1].comboId);
  Focus(font);
  boxes.answers = {IDCANCEL};
  // Alt held, as the accelerator translation reads it from the keyboard state.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE held[256] = {};
  std::copy(std::begin(keys), std::end(keys), std::begin(held));
  held[VK_MENU] = 0x80;
  SetKeyboardState(held);
  MSG message{font, WM_SYSKEYDOWN, 'R', 0x20000001, 0, {0, 0}};
  const bool taken = window.PreTranslate(message);
  SetKeyboardState(keys);
  EXPECT_TRUE(taken);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, msg::kConfirmRead);
  EXPECT_EQ(boxes.shown[0].owner, reinterpret_cast<WindowRef>(Main()));
  EXPECT_EQ(GetFocus(), font);
}

TEST_F(WindowTest, MenuIdsReachTheirCommands) {
  // Version and Help have no confirmation and no printer.
  SendMessageA(Main(), WM_COMMAND, IDM_VERSION, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, msg::kVersion);
  SendMessageA(Main(), WM_COMMAND, IDM_HELP, 0);
  ASSERT_EQ(help.shown.size(), 1u);
  EXPECT_EQ(help.shown[0], "C:\\start\\ROVANT.CHM");
  // File reading asks for a file (cancelled here), without a readiness check.
  const std::size_t spoolerCalls = spooler.opened.size();
  SendMessageA(Main(), WM_COMMAND, IDM_FILE_READ, 0);
  SendMessageA(Main(), WM_COMMAND, IDM_SAVE, 0);
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_EQ(dialogs.requests[0].title, "OPEN");
  EXPECT_EQ(dialogs.requests[1].title, "Save");
  EXPECT_EQ(spooler.opened.size(), spoolerCalls);
  // List printing and Initialize ask first.
  boxes.answers = {IDCANCEL, IDCANCEL};
  SendMessageA(Main(), WM_COMMAND, IDM_LIST_PRINT, 0);
  SendMessageA(Main(), WM_COMMAND, IDM_INITIALIZE, 0);
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[1].text, msg::kConfirmListPrint);
  EXPECT_EQ(boxes.shown[2].text, msg::kConfirmInitialize);
  EXPECT_TRUE(link.sent.empty());
}

// ---- Keyboard ----

TEST_F(WindowTest, CtrlTabWrapsFromConfigToMenu1) {
  SelectTab(kConfigPage);
  Focus(Control(PageAt(kConfigPage).rows[3].comboId));
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, true, false), 1);
  EXPECT_EQ(pageContext.currentPage, kMenu1Page);
  EXPECT_EQ(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(pages.PageWindow(kConfigPage), nullptr);
  EXPECT_EQ(GetFocus(), Control(1100));
}

TEST_F(WindowTest, CtrlShiftTabWrapsFromMenu1ToConfig) {
  Focus(Control(1105));
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, true, true), 1);
  EXPECT_EQ(pageContext.currentPage, kConfigPage);
  EXPECT_EQ(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(GetFocus(), Control(1258));
}

TEST_F(WindowTest, CtrlTabKeepsTheOutgoingPagesChoices) {
  const int chosen = Chosen(1101) == 0 ? 1 : 0;
  Choose(1101, chosen);
  window.hook().HandleKey(HC_ACTION, VK_TAB, 0, true, false);
  EXPECT_EQ(pageContext.currentPage, kMenu2Page);
  EXPECT_EQ(state.settings[1], chosen);
}

TEST_F(WindowTest, TabOnBufferReachesReading) {
  SelectTab(kHardwarePage);
  Focus(Control(1197));
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, false), 1);
  EXPECT_EQ(GetFocus(), Button(IDC_READ));
  // And Shift+Tab on Reading goes back to it.
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, true), 1);
  EXPECT_EQ(GetFocus(), Control(1197));
}

TEST_F(WindowTest, TabCycleAroundTheTabControl) {
  Focus(Tabs());
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, true), 1);
  EXPECT_EQ(GetFocus(), Button(IDC_FINISH));

  Focus(Tabs());
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, false), 1);
  EXPECT_EQ(GetFocus(), Control(1100));
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, true), 1);
  EXPECT_EQ(GetFocus(), Tabs());
}

TEST_F(WindowTest, KeysTheHookLeavesAlone) {
  Focus(Control(1105));
  // A Tab in the middle of a page, and any Tab release, go to the dialog manager.
  EXPECT_EQ(window.hook().HandleKey(HC_ACTION, VK_TAB, 0, false, false), 0);
  EXPECT_EQ(
      window.hook().HandleKey(HC_ACTION, VK_TAB, static_cast<LPARAM>(0xC0000001), true, false), 0);
  EXPECT_EQ(GetFocus(), Control(1105));
  EXPECT_EQ(pageContext.currentPage, kMenu1Page);
}

TEST_F(WindowTest, HookProcedureReadsCtrlFromTheKeyboardState) {
  window.hook().Install();
  ASSERT_TRUE(window.hook().installed());
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE held[256] = {};
  std::copy(std::begin(keys), std::end(keys), std::begin(held));
  held[VK_CONTROL] = 0x80;
  held[VK_SHIFT] = 0;
  SetKeyboardState(held);
  const LRESULT result = KeyboardHook::Procedure(HC_ACTION, VK_TAB, 1);
  SetKeyboardState(keys);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(pageContext.currentPage, kMenu2Page);
  window.hook().Remove();
  EXPECT_FALSE(window.hook().installed());
}

TEST_F(WindowTest, TypedCtrlTabReachesTheHook) {
  // Typed keys need a real display (xvfb-run); Wine's null driver delivers none.
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display: keys cannot be typed";
  window.hook().Install();
  // Let the activation the display reports settle before the focus is placed.
  SetForegroundWindow(Main());
  for (int idle = 0; idle < 10; ++idle) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  ASSERT_EQ(GetForegroundWindow(), Main());
  Focus(Control(1105));
  INPUT keys[4] = {};
  const WORD order[4] = {VK_CONTROL, VK_TAB, VK_TAB, VK_CONTROL};
  for (int k = 0; k < 4; ++k) {
    keys[k].type = INPUT_KEYBOARD;
    keys[k].ki.wVk = order[k];
    keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
  // Handle the typed keys as the message loop does, until the queue has no more of them.
  for (int idle = 0; idle < 50 && pageContext.currentPage == kMenu1Page; ++idle) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  Pump();
  window.hook().Remove();
  EXPECT_EQ(pageContext.currentPage, kMenu2Page);
  EXPECT_EQ(GetFocus(), Control(1147)) << "focus on control " << GetDlgCtrlID(GetFocus());
}

// ---- Focus keeping ----

TEST_F(WindowTest, FocusComesBackAfterARestore) {
  HWND pitch = Control(1103);
  Focus(pitch);
  SendMessageA(Main(), WM_ACTIVATE, 0, 0);  // deactivated: the focus is saved
  EXPECT_EQ(window.savedFocus(), pitch);
  Focus(Button(IDC_FINISH));
  SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, 0);
  SendMessageA(Main(), WM_TIMER, kRestoreFocusTimer, 0);
  EXPECT_EQ(GetFocus(), pitch);
}

TEST_F(WindowTest, FocusOnTheMainWindowGoesToTheSavedControl) {
  HWND pitch = Control(1103);
  Focus(pitch);
  SendMessageA(Main(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(pitch), 0);
  EXPECT_EQ(window.savedFocus(), pitch);
  log.calls.clear();
  SetFocus(Main());
  EXPECT_EQ(GetFocus(), pitch);
  EXPECT_NE(std::find(log.calls.begin(), log.calls.end(), "sleep 100"), log.calls.end());
}

// ---- Quit ----

TEST_F(WindowTest, QuitWithYesWritesTheWorkingCopy) {
  const int chosen = Chosen(1101) == 0 ? 1 : 0;
  Choose(1101, chosen);
  boxes.answers = {IDYES};
  SendMessageA(Main(), WM_CLOSE, 0, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Quit ROVANT. \n\n Save the setting value?");
  EXPECT_EQ(boxes.shown[0].style, kQuitStyle);
  EXPECT_EQ(window.window(), nullptr);
  const auto copy = fs.files.find(WorkingCopyPath(kSettingsFolder));
  ASSERT_NE(copy, fs.files.end());
  ASSERT_EQ(copy->second.size(), kItemCount);
  EXPECT_EQ(copy->second[1], chosen) << "the visible page is stored first";
  EXPECT_EQ(help.closeAll, 1);
  EXPECT_EQ(DrainQuitMessage(), std::optional<WPARAM>(0));
}

TEST_F(WindowTest, QuitWithNoLeavesTheWorkingCopyAlone) {
  boxes.answers = {IDNO};
  Click(IDC_FINISH);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(window.window(), nullptr);
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(DrainQuitMessage(), std::optional<WPARAM>(0));
}

TEST_F(WindowTest, QuitWithCancelKeepsRunning) {
  HWND pitch = Control(1103);
  Focus(pitch);
  boxes.answers = {IDCANCEL};
  SendMessageA(Main(), WM_COMMAND, IDM_FINISH, 0);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(IsWindow(Main()), FALSE);
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(GetFocus(), pitch);
  EXPECT_EQ(DrainQuitMessage(), std::nullopt);
}

TEST_F(WindowTest, QuitAfterAFailedSendWarns) {
  state.noResponsePending = true;
  boxes.answers = {IDNO};
  SendMessageA(Main(), WM_CLOSE, 0, 0);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "No response from Printer. Turn on the printer");
  EXPECT_EQ(boxes.shown[1].icon, 187u);
  EXPECT_EQ(window.window(), nullptr);
}

// ---- The LAN port text ----

TEST(LanPortName, CutAtTheFirstColon) {
  struct Row {
    std::string port, lan, expected;
  };
  for (const Row& row : {Row{"PRN1:lp", "", "PRN1"}, Row{"10.0.0.7:lp:x", "", "10.0.0.7"},
                         Row{"NOCOLON", "", "NOCOLON"}, Row{"A:lp", "given", "given"}}) {
    PrinterEntry entry;
    entry.portName = row.port;
    entry.lanPortName = row.lan;
    EXPECT_EQ(LanPortNameOf(entry), row.expected) << row.port;
  }
}

}  // namespace
}  // namespace rovant::ui
