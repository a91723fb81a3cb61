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

std::string PortMessage(int portState) {
  return std::string(ui::PortStateMessageOf(portState).value_or("(no message)"));
}

// A printer refused at the choice: its message, then the selection dialog again.
struct Refusal {
  const char* printer;
  std::string text;
  IconKind icon;
};

// One start of the program for the whole table: the keys first, then each printer in turn, the
// port states being those Wine's spooler reports for the test bed (it keeps no paused state).
TEST_F(SelectionTest, KeysMoveTheChoiceAndEachRefusedPrinterBringsTheDialogBack) {
  StartRovant();
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  ASSERT_TRUE(uidriver::WaitUntil([&] { return uidriver::ListViewCount(list) >= 2; }, kWaitMs));
  ASSERT_TRUE(uidriver::SelectListViewRow(list, 0));
  TypeKeys(dialog, {"Down"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return uidriver::ListViewSelection(list) == 1; }, 2000));
  // Escape leaves the dialog only through OK or Cancel: the dialog still takes the next key.
  TypeKeys(dialog, {"Escape", "Up"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return uidriver::ListViewSelection(list) == 0; }, 2000));
  EXPECT_TRUE(::IsWindowVisible(dialog));

  const std::vector<Refusal> refusals{
      {"Other driver on LPT1", std::string(msg::kDriverNotSupported), IconKind::kPrinterError},
      {"HX320 to file", PortMessage(kPortFile), IconKind::kPrinterInformation},
      {"HX320 no bidi", PortMessage(kPortNoBidi), IconKind::kPrinterInformation},
      {"HX320 offline", PortMessage(kPortOffline), IconKind::kPrinterInformation},
      {"HX320 separator", PortMessage(kPortSeparator), IconKind::kPrinterInformation},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.printer);
    ChoosePrinter(r.printer);
    ExpectBox(r.text, r.icon, {IDOK});
    Press(IDOK);
    EXPECT_NE(WaitSelectionDialog(), nullptr);
  }
  // Cancel ends the program.
  CancelSelection();
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_FALSE(WorkingCopy().has_value());
}

TEST_F(SelectionTest, AnIppPortEndsTheProgram) {
  StartRovant();
  ChoosePrinter("HX320 ipp");
  ExpectBox(std::string(msg::kIppPort), IconKind::kPrinterError, {IDOK});
  Press(IDOK);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
}

// Another model answering: the HX310 printer with an HX320 answering, then the HX320 printer with
// a printer that says it is an HX310; each time the message, then the dialog again.
TEST_F(SelectionTest, AnotherModelAnsweringIsReportedForEitherPrinter) {
  const Bytes memory = MemoryWith({});
  StartMonitor(kOneJob, memory);
  StartRovant();
  ChoosePrinter("HX310 on USB");
  ExpectBox(std::string(msg::kOtherModel), IconKind::kPrinterWarning, {IDOK});
  Press(IDOK);
  EXPECT_NE(WaitSelectionDialog(), nullptr);
  StartNextMonitor(1, {L"--report-model", L"HX310"}, std::nullopt);
  ChoosePrinter("HX320 on LPT1");
  ExpectBox(std::string(msg::kOtherModel), IconKind::kPrinterWarning, {IDOK});
  Press(IDOK);
  EXPECT_NE(WaitSelectionDialog(), nullptr);
  CancelSelection();
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(MonitorMemory(), memory);
}

}  // namespace
}  // namespace rovant::e2e
