// Choosing a printer that cannot be set up: the driver, the port states Wine's spooler can
// report, an IPP port and another model answering; each message as the user sees it.
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/selection_messages.hpp"
#include "ui/port_state.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

using SelectionTest = EndToEnd;

TEST_F(SelectionTest, AnotherDriverIsRefusedAndCancelEnds) {
  StartRovant();
  ChoosePrinter("Other driver on LPT1");
  ExpectBox(std::string(msg::kDriverNotSupported), IconKind::kPrinterError, {IDOK});
  Press(IDOK);
  // The dialog again; Cancel ends the program.
  CancelSelection();
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_FALSE(WorkingCopy().has_value());
}

struct PortCase {
  const char* printer;
  int portState;
};

class PortStateTest : public EndToEnd, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortStateTest, TheMessageThenTheDialogAgain) {
  StartRovant();
  ChoosePrinter(GetParam().printer);
  const auto text = ui::PortStateMessageOf(GetParam().portState);
  ASSERT_TRUE(text.has_value());
  ExpectBox(std::string(*text), IconKind::kPrinterInformation, {IDOK});
  Press(IDOK);
  EXPECT_NE(WaitSelectionDialog(), nullptr);
  CancelSelection();
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
}

// The states Wine's spooler reports for the test bed (no paused state: Wine keeps none).
INSTANTIATE_TEST_SUITE_P(WinePorts, PortStateTest,
                         ::testing::Values(PortCase{"HX320 to file", kPortFile},
                                           PortCase{"HX320 no bidi", kPortNoBidi},
                                           PortCase{"HX320 offline", kPortOffline},
                                           PortCase{"HX320 separator", kPortSeparator}),
                         [](const auto& param) {
                           std::string name = param.param.printer;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

TEST_F(SelectionTest, AnIppPortEndsTheProgram) {
  StartRovant();
  ChoosePrinter("HX320 ipp");
  ExpectBox(std::string(msg::kIppPort), IconKind::kPrinterError, {IDOK});
  Press(IDOK);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
}

// The keys reach the dialog: Down moves the selection; Escape leaves the dialog only through OK or
// Cancel, so it stays.
TEST_F(SelectionTest, DownMovesTheChoiceAndEscapeDoesNotLeave) {
  StartRovant();
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  ASSERT_TRUE(uidriver::WaitUntil([&] { return uidriver::ListViewCount(list) >= 2; }, kWaitMs));
  ASSERT_TRUE(uidriver::SelectListViewRow(list, 0));
  TypeKeys(dialog, {"Down"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return uidriver::ListViewSelection(list) == 1; }, 2000));
  TypeKeys(dialog, {"Escape"});
  ::Sleep(500);
  EXPECT_TRUE(::IsWindowVisible(dialog));
  EXPECT_TRUE(Rovant().Running());
}

// Another model answering: the HX320 printer with a printer that says it is an HX310, and the
// HX310 printer with an HX320 answering.
struct OtherModelCase {
  const char* printer;
  std::vector<std::wstring> monitorOptions;
};

class OtherModelTest : public EndToEnd, public ::testing::WithParamInterface<OtherModelCase> {};

INSTANTIATE_TEST_SUITE_P(
    Printers, OtherModelTest,
    ::testing::Values(OtherModelCase{"HX320 on LPT1", {L"--report-model", L"HX310"}},
                      OtherModelCase{"HX310 on USB", {}}),
    [](const auto& param) { return param.index == 0 ? "Hx320Printer" : "Hx310Printer"; });

TEST_P(OtherModelTest, IsReportedAndTheDialogComesAgain) {
  const Bytes memory = MemoryWith({});
  StartMonitor(GetParam().monitorOptions, memory);
  StartRovant();
  ChoosePrinter(GetParam().printer);
  ExpectBox(std::string(msg::kOtherModel), IconKind::kPrinterWarning, {IDOK});
  Press(IDOK);
  EXPECT_NE(WaitSelectionDialog(), nullptr);
  CancelSelection();
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(MonitorMemory(), memory);
}

}  // namespace
}  // namespace rovant::e2e
