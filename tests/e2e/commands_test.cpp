// The printer commands of the main window against the simulated printer: the version box,
// Reading, Transferring, Initializing and List printing. Each starts with a monitor that serves the
// start-up read, then a second monitor run plays the printer for the command.
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {
namespace {

using CommandsTest = EndToEnd;

// The version box; then Reading, after the printer's memory has changed since the start-up
// read; then Transferring what every page shows.
TEST_F(CommandsTest, VersionReadingAndTransferring) {
  StartWithPrinter(MemoryWith({L"MENU1.PITCH=12 CPI"}));
  MenuCommand(IDM_VERSION);
  AnswerBox(msg::kVersion, {IDOK}, IDOK);
  const Bytes changed =
      MemoryWith({L"MENU1.PITCH=15 CPI", L"HARDWARE.BUZZER=OFF", L"CONFIG.LOCK=SETUP"});
  StartNextMonitor({}, changed);

  ClickCommand(IDC_READ);
  AnswerBox(msg::kConfirmRead, {IDOK, IDCANCEL}, IDOK);
  ExpectOperation(msg::kStatusReading);
  EXPECT_EQ(ReadCombo(kPitchCombo), "15 CPI ");
  EXPECT_EQ(ReadCombo(kBuzzerCombo), "OFF    ");
  EXPECT_EQ(ReadCombo(kLockCombo), "SETUP  ");

  SelectCombo(kPitchCombo, "12 CPI ");
  SelectCombo(kLineSpacingCombo, "8 LPI  ");
  SelectCombo(kDirectionCombo, "UNI-DIR");
  SelectCombo(kBuzzerCombo, "ON     ");
  // The last changes stay on the visible page: the transfer itself takes them.
  SelectCombo(kTearPositionCombo, "ALWAYS ");
  SelectCombo(kLockCombo, "ALL    ");
  ClickCommand(IDC_TRANSFER);
  AnswerBox(msg::kConfirmTransfer, {IDOK, IDCANCEL}, IDOK);
  ExpectOperation(msg::kStatusTransfer);
  EXPECT_EQ(JobsSinceNextMonitor(), 2) << MonitorOutput();
  EXPECT_EQ(MonitorMemory(),
            MemoryWith({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI", L"HARDWARE.PRT-DIR=UNI-DIR",
                        L"CONFIG.TEARPOS=ALWAYS", L"CONFIG.LOCK=ALL"}));
}

TEST_F(CommandsTest, InitializingPutsTheFactoryDefaultsIntoPrinterAndPages) {
  StartWithPrinter(MemoryWith({L"MENU1.PITCH=15 CPI", L"CONFIG.TEAROFF=AUTO"}));
  EXPECT_EQ(ReadCombo(kTearOffCombo), "AUTO   ");
  StartNextMonitor({}, std::nullopt);

  ClickCommand(IDC_INITIALIZE);
  AnswerBox(msg::kConfirmInitialize, {IDOK, IDCANCEL}, IDOK);
  ExpectStatusWindow(msg::kStatusFactoryDefault);
  ExpectOperation(msg::kStatusReading);

  // Two jobs: the factory default, then the read.
  EXPECT_EQ(JobsSinceNextMonitor(), 2) << MonitorOutput();
  EXPECT_EQ(MonitorMemory(), MemoryWith({}));
  EXPECT_EQ(CurrentPage(), kConfigPage);  // the page shown before stays
  EXPECT_EQ(ReadCombo(kTearOffCombo), "MANUAL ");
  EXPECT_EQ(ReadCombo(kPitchCombo), "10 CPI ");
}

// A failed Initializing shows the no-response message once, whichever send fails; a read whose
// reply does not come says so first. Name, the failing exchange of the monitor run that serves
// the command, the reading-failed box first, the default stored in the printer, the jobs the
// monitor saw, how long nothing further may come.
using InitializeFailure = std::tuple<const char*, const wchar_t*, bool, bool, int, DWORD>;

class InitializeFailureTest : public EndToEnd,
                              public ::testing::WithParamInterface<InitializeFailure> {};

INSTANTIATE_TEST_SUITE_P(
    Sends, InitializeFailureTest,
    ::testing::Values(
        // DEFAULT refused (the 2nd send, after the online sequence): no read follows.
        InitializeFailure{"DefaultRefused", L"2", false, false, 1, 3000},
        // The read's online sequence refused (after the 3 sends of the default).
        InitializeFailure{"ReadRefused", L"4", false, true, 2, 1000},
        // The read's reply refused (online sequence 4, query 5, reply 6).
        InitializeFailure{"ReplyRefused", L"6", true, true, 2, 1000}),
    [](const auto& param) { return std::string(std::get<0>(param.param)); });

TEST_P(InitializeFailureTest, ShowsOneNoResponseMessage) {
  const auto& [name, failExchange, readFailedBox, defaultStored, jobs, quietMs] = GetParam();
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  StartWithPrinter(memory);
  StartNextMonitor({L"--fail-exchange", failExchange}, std::nullopt);

  ClickCommand(IDC_INITIALIZE);
  AnswerBox(msg::kConfirmInitialize, {IDOK, IDCANCEL}, IDOK);
  if (readFailedBox) AnswerBox(msg::kReadingFailed, {IDOK}, IDOK, 30000);
  AnswerBox(msg::kNoResponse, {IDOK}, IDOK, 30000);
  // No second box, and no read after a failed default (its status window would come 2 s later).
  ExpectQuietFor(quietMs);
  ASSERT_NE(WaitMainWindow(), nullptr);

  EXPECT_EQ(JobsSinceNextMonitor(), jobs) << MonitorOutput();
  EXPECT_EQ(MonitorMemory(), defaultStored ? MemoryWith({}) : memory);
  // The page shows the factory values once the printer took them, else the user's own again.
  EXPECT_EQ(ReadCombo(kPitchCombo), defaultStored ? "10 CPI " : "15 CPI ");
}

TEST_F(CommandsTest, ListPrintingPrintsTheListAndAsksWhetherPrintingHasFinished) {
  StartWithPrinter(MemoryWith({}));
  const std::filesystem::path paper = WorkFile("paper.txt");
  StartNextMonitor({L"--paper", paper.wstring()}, std::nullopt);

  MenuCommand(IDM_LIST_PRINT);
  AnswerBox(msg::kConfirmListPrint, {IDOK, IDCANCEL}, IDOK);
  ExpectStatusWindow(msg::kStatusListPrint);

  // The print-finished dialog (template 192), found by its animated icon control.
  HWND dialog = WaitDialogWith(IDC_PRINTING_ICON);
  ASSERT_NE(dialog, nullptr) << "no print-finished dialog\n" << Screen();
  std::vector<std::string> texts;
  for (HWND text : uidriver::FindChildren(dialog, L"Static"))
    texts.push_back(uidriver::Narrow(uidriver::TextOf(text)));
  EXPECT_THAT(texts, ::testing::Contains("Has printing finish?"));
  HWND icon = ::GetDlgItem(dialog, IDC_PRINTING_ICON);
  // The icon changes every 600 ms: within 2.5 s it shows at least three different icons.
  std::set<LRESULT> shown;
  EXPECT_TRUE(uidriver::WaitUntil(
      [&] {
        shown.insert(uidriver::SendBounded(icon, STM_GETICON, 0, 0, 0));
        return shown.size() >= 3;
      },
      2500))
      << shown.size() << " icons shown";
  EXPECT_TRUE(::IsWindow(dialog)) << "the dialog went by itself";
  ASSERT_TRUE(uidriver::PressCommand(dialog, IDC_PRINTING_OK));
  ASSERT_TRUE(uidriver::WaitGone(dialog, kWaitMs)) << Screen();
  ASSERT_NE(WaitMainWindow(), nullptr);

  // The printer printed its list (what it holds and sends: the simulator's and protocol tests').
  EXPECT_THAT(ReadText(paper), ::testing::StartsWith("HX320 setting list\n"));
}

}  // namespace
}  // namespace rovant::e2e
