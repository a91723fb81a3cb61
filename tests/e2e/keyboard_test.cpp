// The keyboard, with real keys (SendInput): the Tab key's cycle through the panel and the page,
// the fixed points of the keyboard hook, the Alt accelerators running the menu form of Read and
// Transfer, and Help from the menu's keys.
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"

namespace rovant::e2e {
namespace {

constexpr DWORD kFocusWaitMs = 3000;
constexpr int kLongestCycle = 40;  // more Tabs than the panel and any page have controls

class KeyboardTest : public EndToEnd {
 protected:
  // rovant.exe on the LPT1 printer holding `memory`, after its first read; the monitor serves
  // every job that follows.
  void StartReady(const Bytes& memory) {
    StartWithPrinter(memory, {});
    main_ = WaitMainWindow();
    ASSERT_NE(main_, nullptr);
  }

  // The id of the control with the keyboard focus; 0 for none.
  int FocusedId() const {
    HWND focus = uidriver::FocusOf(main_);
    return focus != nullptr ? ::GetDlgCtrlID(focus) : 0;
  }

  // Waits (bounded) until control `id` has the focus; whether it has.
  bool WaitFocus(int id) const {
    return uidriver::WaitUntil([&] { return FocusedId() == id; }, kFocusWaitMs);
  }

  // Puts the focus on control `id` of the panel or its page the way the program moves it (the
  // panel's next-control request), with the main window in the foreground.
  void Focus(int id) {
    ASSERT_TRUE(uidriver::BringToForeground(main_));
    HWND control = uidriver::FindChild(main_, id);
    ASSERT_NE(control, nullptr) << "no control " << id;
    HWND panel = ::GetParent(uidriver::FindChild(main_, IDC_TABS));
    ASSERT_TRUE(::PostMessageW(panel, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE));
    ASSERT_TRUE(WaitFocus(id)) << "the focus is on " << FocusedId() << ", not " << id;
  }

  HWND main_ = nullptr;
};

// The hook's fixed points: BUFFER to Reading, the tab control to the first list and to Finish, the
// first list to the tab control, Reading to the last list, CONFIG to MENU1 and back.
// page, the control with the focus, the key, the control then, the page then
const std::tuple<Page, int, const char*, int, Page> kFocusCases[] = {
    {kHardwarePage, kBufferCombo, "Tab", IDC_READ, kHardwarePage},
    {kConfigPage, IDC_TABS, "Tab", kTearOffCombo, kConfigPage},
    {kMenu1Page, IDC_TABS, "Shift+Tab", IDC_FINISH, kMenu1Page},
    {kAdjustPage, kOriginCombo, "Shift+Tab", IDC_TABS, kAdjustPage},
    {kConfigPage, IDC_READ, "Shift+Tab", kTopOfFormCombo, kConfigPage},
    {kConfigPage, kTearOffCombo, "Ctrl+Tab", kEmulateCombo, kMenu1Page},
    {kMenu1Page, kEmulateCombo, "Ctrl+Shift+Tab", kTearOffCombo, kConfigPage}};

// One start of the program: the Tab cycle on MENU1, then the table, each case setting up its own
// page and focus.
TEST_F(KeyboardTest, TabCyclesThroughThePageAndTheHookMovesTheFocusToItsFixedPoints) {
  StartReady(MemoryWith({}));
  Focus(IDC_TABS);
  // From the tab control: each choice list of the page that can be used, Reading, the other
  // buttons, and round to the page's first list again (the page lies above the tab control, so
  // the dialog manager wraps to it; Shift+Tab on that list reaches the tab control).
  std::vector<int> expected;  // the page's enabled combo boxes, in their order on the page
  for (HWND combo : uidriver::FindChildren(main_, L"ComboBox"))
    if (uidriver::IsVisible(combo) && uidriver::IsEnabled(combo))
      expected.push_back(::GetDlgCtrlID(combo));
  ASSERT_GE(expected.size(), 2u);
  ASSERT_EQ(expected.front(), kEmulateCombo);
  ASSERT_EQ(expected.back(), kRightEndCombo);
  expected.insert(expected.end(),
                  {IDC_READ, IDC_TRANSFER, IDC_INITIALIZE, IDC_FINISH, kEmulateCombo});
  std::vector<int> visited;
  for (int i = 0; i < kLongestCycle && (visited.size() < 2 || visited.back() != kEmulateCombo);
       ++i) {
    const int before = FocusedId();
    TypeKeys(main_, {"Tab"});
    uidriver::WaitUntil([&] { return FocusedId() != before; }, kFocusWaitMs);
    visited.push_back(FocusedId());
  }
  EXPECT_EQ(visited, expected);

  for (const auto& [page, from, key, to, pageAfter] : kFocusCases) {
    SCOPED_TRACE(std::string(key) + " on " + std::to_string(from));
    SelectPage(page);
    Focus(from);
    TypeKeys(main_, {key});
    EXPECT_TRUE(WaitFocus(to)) << "the focus is on " << FocusedId() << ", not " << to;
    EXPECT_EQ(CurrentPage(), pageAfter);
    EXPECT_NE(uidriver::FindChild(main_, to), nullptr);
  }
}

// The Alt accelerators with the focus in a page run the menu's commands, which ask first and give
// the focus back to the list: Alt+C cancelled sends nothing; Alt+R reads the printer into the
// page. What Transferring sends is the commands scenarios'.
TEST_F(KeyboardTest, AltCAndAltRTransferAndReadThroughTheirQuestions) {
  StartReady(MemoryWith({L"MENU1.PITCH=12 CPI"}));
  SelectCombo(kPitchCombo, "15 CPI ");  // changed here, not in the printer
  Focus(kLineSpacingCombo);
  TypeKeys(main_, {"Alt+C"});
  AnswerBox(msg::kConfirmTransfer, {IDOK, IDCANCEL}, IDCANCEL);
  EXPECT_TRUE(WaitFocus(kLineSpacingCombo)) << "the focus is on " << FocusedId();
  EXPECT_EQ(JobsEnded(), 1);  // only the start-up read's job

  Focus(kPitchCombo);
  TypeKeys(main_, {"Alt+R"});
  AnswerBox(msg::kConfirmRead, {IDOK, IDCANCEL}, IDOK);
  ExpectOperation(msg::kStatusReading);
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(JobsEnded(), 2);  // the start-up read's job and this one's
  EXPECT_TRUE(WaitFocus(kPitchCombo)) << "the focus is on " << FocusedId();
}

constexpr DWORD kHelpWindowMs = 20000;  // hhctrl's first start in a prefix is slow
// How long a help window that should not come is waited for (it comes within about a second
// when the file is there).
constexpr DWORD kNothingShownMs = 3000;
// Every entry of help/rovant.hhc, all levels, as the viewer reads the compiled file. Wine's hhctrl
// shows the contents pane blank without Gecko, so only the window and this are checked.
constexpr int kContentsItems = 27;

// Help (&H), then its first entry Help (&H), from the keyboard: without ROVANT.CHM in the start-up
// folder it shows nothing and the program goes on; with it, the help window with its table of
// contents, which quitting closes.
TEST_F(KeyboardTest, HelpOpensTheHelpFileOfTheStartUpFolderAndQuittingClosesIt) {
  StartReady(MemoryWith({}));
  // The help window of rovant.exe: HTML Help's frame, titled after the help file.
  const auto WaitHelpWindow = [&](DWORD timeoutMs) {
    return uidriver::WaitWindow(
        {.processId = Rovant().id(), .className = L"HH Parent", .caption = L"ROVANT Help"},
        timeoutMs);
  };
  TypeKeys(main_, {"Alt+H", "H"});
  EXPECT_EQ(WaitHelpWindow(kNothingShownMs), nullptr);
  ASSERT_NE(WaitMainWindow(), nullptr);  // nothing else shown either

  std::filesystem::copy_file(uidriver::WindowsPath(ROVANT_E2E_HELP_FILE),
                             WorkFile(std::string(msg::kHelpFileName)));
  TypeKeys(main_, {"Alt+H", "H"});
  HWND help = WaitHelpWindow(kHelpWindowMs);
  ASSERT_NE(help, nullptr) << Screen();
  const std::vector<HWND> trees = uidriver::FindChildren(help, L"SysTreeView32");
  ASSERT_EQ(trees.size(), 1u) << Screen();
  EXPECT_TRUE(uidriver::WaitUntil(
      [&] { return uidriver::TreeViewCount(trees.front()) == kContentsItems; }, kWaitMs))
      << uidriver::TreeViewCount(trees.front()) << " entries";
  ExpectQuietFor(0);

  // Quit without saving: the help window goes with the program's window.
  ASSERT_TRUE(::PostMessageW(main_, WM_CLOSE, 0, 0));
  AnswerBox(msg::kConfirmQuit, {IDCANCEL, IDYES, IDNO}, IDNO);
  EXPECT_TRUE(uidriver::WaitGone(help, kWaitMs)) << "the help window stayed";
  ExpectRovantEnded();
}

}  // namespace
}  // namespace rovant::e2e
