// The keyboard, with real keys (SendInput): the Tab key's cycle through the panel and the page,
// the fixed points of the keyboard hook (BUFFER to Reading, the tab control to Finish, Ctrl+Tab
// and Ctrl+Shift+Tab between CONFIG and MENU1), and the Alt accelerators running the menu form of
// Read and Transfer.
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

// The combo boxes the hook knows (resources/rovant.rc).
constexpr int kMenu1First = 1100;  // EMULATE
constexpr int kMenu1Last = 1122;   // RGHTEND
constexpr int kPitchCombo = 1103;
constexpr int kLineSpacingCombo = 1104;
constexpr int kHardwareLast = 1197;  // BUFFER
constexpr int kAdjustFirst = 1221;   // CNT-ORG
constexpr int kConfigFirst = 1258;   // TEAROFF
constexpr int kConfigLast = 1274;    // TOF-CTL

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

  // The enabled combo boxes of the current page, in their order on the page.
  std::vector<int> EnabledCombos() const {
    std::vector<int> ids;
    for (HWND combo : uidriver::FindChildren(main_, L"ComboBox"))
      if (uidriver::IsVisible(combo) && uidriver::IsEnabled(combo))
        ids.push_back(::GetDlgCtrlID(combo));
    return ids;
  }

  HWND main_ = nullptr;
};

// The hook's fixed points: from a control of a page, a key, to another control (and page).
struct FocusCase {
  const char* what;
  Page page;
  int from;
  const char* key;
  int to;
  Page pageAfter;
};

const FocusCase kFocusCases[] = {
    {"Tab on BUFFER reaches Reading", kHardwarePage, kHardwareLast, "Tab", IDC_READ, kHardwarePage},
    {"Tab on the tab control reaches the first list", kConfigPage, IDC_TABS, "Tab", kConfigFirst,
     kConfigPage},
    {"Shift+Tab on the tab control reaches Finish", kMenu1Page, IDC_TABS, "Shift+Tab", IDC_FINISH,
     kMenu1Page},
    {"Shift+Tab on the first list reaches the tab control", kAdjustPage, kAdjustFirst, "Shift+Tab",
     IDC_TABS, kAdjustPage},
    {"Shift+Tab on Reading reaches the last list", kConfigPage, IDC_READ, "Shift+Tab", kConfigLast,
     kConfigPage},
    {"Ctrl+Tab on CONFIG shows MENU1", kConfigPage, kConfigFirst, "Ctrl+Tab", kMenu1First,
     kMenu1Page},
    {"Ctrl+Shift+Tab on MENU1 shows CONFIG", kMenu1Page, kMenu1First, "Ctrl+Shift+Tab",
     kConfigFirst, kConfigPage},
};

// One start of the program: the Tab cycle on MENU1, then the table, each case setting up its own
// page and focus.
TEST_F(KeyboardTest, TabCyclesThroughThePageAndTheHookMovesTheFocusToItsFixedPoints) {
  StartReady(MemoryWith({}));
  Focus(IDC_TABS);
  // From the tab control: each choice list of the page that can be used, Reading, the other
  // buttons, and round to the page's first list again (the page lies above the tab control, so
  // the dialog manager wraps to it; Shift+Tab on that list reaches the tab control).
  std::vector<int> expected = EnabledCombos();
  ASSERT_GE(expected.size(), 2u);
  ASSERT_EQ(expected.front(), kMenu1First);
  ASSERT_EQ(expected.back(), kMenu1Last);
  expected.insert(expected.end(),
                  {IDC_READ, IDC_TRANSFER, IDC_INITIALIZE, IDC_FINISH, kMenu1First});
  std::vector<int> visited;
  for (int i = 0; i < kLongestCycle && (visited.size() < 2 || visited.back() != kMenu1First); ++i) {
    const int before = FocusedId();
    TypeKeys(main_, {"Tab"});
    uidriver::WaitUntil([&] { return FocusedId() != before; }, kFocusWaitMs);
    visited.push_back(FocusedId());
  }
  EXPECT_EQ(visited, expected);

  for (const FocusCase& c : kFocusCases) {
    SCOPED_TRACE(c.what);
    SelectPage(c.page);
    Focus(c.from);
    TypeKeys(main_, {c.key});
    EXPECT_TRUE(WaitFocus(c.to)) << "the focus is on " << FocusedId() << ", not " << c.to;
    EXPECT_EQ(CurrentPage(), c.pageAfter);
    EXPECT_NE(uidriver::FindChild(main_, c.to), nullptr);
  }
}

// The Alt accelerators with the focus in a page run the menu's commands, which ask first and give
// the focus back to the list: Alt+C cancelled sends nothing; Alt+R reads the printer into the
// page; Alt+C answered OK sends the page's settings.
TEST_F(KeyboardTest, AltCAndAltRTransferAndReadThroughTheirQuestions) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  StartReady(memory);
  SelectCombo(kPitchCombo, "15 CPI ");  // changed here, not in the printer
  Focus(kLineSpacingCombo);
  TypeKeys(main_, {"Alt+C"});
  ExpectBox(std::string(msg::kConfirmTransfer), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDCANCEL);
  EXPECT_TRUE(WaitFocus(kLineSpacingCombo)) << "the focus is on " << FocusedId();
  EXPECT_EQ(JobsEnded(), 1);  // only the start-up read's job
  EXPECT_EQ(MonitorMemory(), memory);

  Focus(kPitchCombo);
  TypeKeys(main_, {"Alt+R"});
  ExpectBox(std::string(msg::kConfirmRead), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDOK);
  ExpectStatusWindow(std::string(msg::kStatusReading));
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(JobsEnded(), 2);  // the start-up read's job and this one's
  EXPECT_EQ(MonitorMemory(), memory);
  EXPECT_TRUE(WaitFocus(kPitchCombo)) << "the focus is on " << FocusedId();

  SelectCombo(kPitchCombo, "15 CPI ");
  TypeKeys(main_, {"Alt+C"});
  ExpectBox(std::string(msg::kConfirmTransfer), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDOK);
  ExpectStatusWindow(std::string(msg::kStatusTransfer));
  const Bytes transferred = MemoryWith({L"MENU1.PITCH=15 CPI"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return MonitorMemory() == transferred; }, kWaitMs))
      << "the printer's memory is not the transferred settings";
  ASSERT_NE(WaitMainWindow(), nullptr);
}

}  // namespace
}  // namespace rovant::e2e
