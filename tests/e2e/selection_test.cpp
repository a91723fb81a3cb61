// Choosing a printer that cannot be set up: the driver, the port states Wine's spooler can
// report, an IPP port and another model answering; each message as the user sees it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/selection_messages.hpp"
#include "ui/port_state.hpp"

namespace rovant::e2e {
namespace {

using SelectionTest = EndToEnd;

std::string_view PortMessage(int portState) {
  return ui::PortStateMessageOf(portState).value_or("(no message)");
}

// One start of the program for the whole table: the keys first, then each printer in turn, the
// port states being those Wine's spooler reports for the test bed (it keeps no paused state).
// Another model answering is refused for either printer: the HX310 printer with the HX320 that
// the monitor plays, then the HX320 printer with one that says it is an HX310.
TEST_F(SelectionTest, KeysMoveTheChoiceAndEachRefusedPrinterBringsTheDialogBack) {
  const Bytes memory = MemoryWith({});
  StartMonitor(kOneJob, memory);
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

  // A printer refused at the choice: its message, then the selection dialog again.
  const std::pair<const char*, std::string_view> refusals[] = {
      {"Other driver on LPT1", msg::kDriverNotSupported},
      {"HX320 to file", PortMessage(kPortFile)},
      {"HX320 no bidi", PortMessage(kPortNoBidi)},
      {"HX320 offline", PortMessage(kPortOffline)},
      {"HX320 separator", PortMessage(kPortSeparator)},
      {"HX310 on USB", msg::kOtherModel},
      {"HX320 on LPT1", msg::kOtherModel}};
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.first);
    if (&r == &refusals[6])  // the monitor's next run says it is an HX310
      StartNextMonitor({L"--report-model", L"HX310"}, std::nullopt);
    ChoosePrinter(r.first);
    AnswerBox(r.second, {IDOK}, IDOK);
    EXPECT_NE(WaitSelectionDialog(), nullptr);
  }
  // Cancel ends the program.
  ASSERT_TRUE(uidriver::PressCommand(WaitSelectionDialog(), IDC_SELECTION_CANCEL));
  ExpectRovantEnded();
  EXPECT_EQ(MonitorMemory(), memory);
  EXPECT_FALSE(WorkingCopy().has_value());
}

TEST_F(SelectionTest, AnIppPortEndsTheProgram) {
  StartRovant();
  ChoosePrinter("HX320 ipp");
  AnswerBox(msg::kIppPort, {IDOK}, IDOK);
  ExpectRovantEnded();
}

}  // namespace
}  // namespace rovant::e2e
