// Help: the menu's Help command opens the HTML Help window on ROVANT.CHM from the start-up
// folder, with its table of contents; quitting closes it. Wine's hhctrl shows the contents pane
// blank without Gecko, so only the window and its table of contents are checked.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

constexpr DWORD kHelpWindowMs = 20000;  // hhctrl's first start in a prefix is slow
// How long a help window that should not come is waited for (it comes within about a second
// when the file is there).
constexpr DWORD kNothingShownMs = 3000;

// The top level of the table of contents (help/rovant.hhc).
const std::vector<std::wstring> kContents{
    L"Getting started",   L"Setting pages",          L"Commands",
    L"Messages",          L"Connecting the printer", L"Setting files and the working copy",
    L"Using the keyboard"};
constexpr int kContentsItems = 27;  // every entry of help/rovant.hhc, all levels

class HelpTest : public EndToEnd {
 protected:
  // The help window of rovant.exe: HTML Help's frame, titled after the help file.
  HWND WaitHelpWindow(DWORD timeoutMs) {
    uidriver::WindowQuery query;
    query.processId = Rovant().id();
    query.className = L"HH Parent";
    query.caption = L"ROVANT Help";
    return uidriver::WaitWindow(query, timeoutMs);
  }
};

// Help (&H), then its first entry Help (&H), from the keyboard: without ROVANT.CHM in the start-up
// folder it shows nothing and the program goes on; with it, the help window, which quitting
// closes.
TEST_F(HelpTest, TheMenuOpensTheHelpFileOfTheStartUpFolderAndQuittingClosesIt) {
  const Bytes earlier = MemoryWith({L"MENU1.PITCH=12 CPI"});  // quitting with No keeps it
  PutWorkingCopy(earlier);
  StartWithPrinter(MemoryWith({}), {});
  HWND main = WaitMainWindow();
  ASSERT_NE(main, nullptr);
  TypeKeys(main, {"Alt+H", "H"});
  EXPECT_EQ(WaitHelpWindow(kNothingShownMs), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();
  ASSERT_NE(WaitMainWindow(), nullptr);

  std::filesystem::copy_file(uidriver::WindowsPath(ROVANT_E2E_HELP_FILE),
                             WorkFile(std::string(msg::kHelpFileName)));
  TypeKeys(main, {"Alt+H", "H"});
  HWND help = WaitHelpWindow(kHelpWindowMs);
  ASSERT_NE(help, nullptr) << Screen();
  const std::vector<HWND> trees = uidriver::FindChildren(help, L"SysTreeView32");
  ASSERT_EQ(trees.size(), 1u) << uidriver::DescribeWindows(Rovant().id());
  EXPECT_TRUE(
      uidriver::WaitUntil([&] { return uidriver::TreeViewCount(trees.front()) > 0; }, kWaitMs));
  EXPECT_EQ(uidriver::TreeViewCount(trees.front()), kContentsItems);
  EXPECT_EQ(uidriver::TreeViewRootTexts(trees.front()), kContents);
  EXPECT_TRUE(NoBoxShown()) << Screen();

  // Quit without saving: the help window goes with the program's window.
  ASSERT_TRUE(uidriver::CloseWindow(main));
  ExpectBox(std::string(msg::kConfirmQuit), IconKind::kQuestion, {IDCANCEL, IDYES, IDNO});
  Press(IDNO);
  EXPECT_TRUE(uidriver::WaitGone(help, kWaitMs)) << "the help window stayed";
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(earlier));
}

}  // namespace
}  // namespace rovant::e2e
