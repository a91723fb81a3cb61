// Starting rovant.exe: a second start, and a first read of the printer through the language
// monitor's mailbox, with what it leaves in the simulated printer and on disk; a first read that
// fails: Abort ends the program, Retry chooses and reads again, Ignore goes on with the working
// copy (or the factory defaults when there is none).
#include "ui/startup.hpp"

#include <optional>
#include <string>
#include <tuple>

#include "platform/win32/text.hpp"
#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::e2e {
namespace {

using StartupTest = EndToEnd;

// A second start while the first shows its selection dialog says so and ends; the first goes on
// to read the chosen printer.
TEST_F(StartupTest, ASecondStartEndsAndChoosingAPrinterReadsItsMemoryIntoThePages) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI"});
  StartMonitor({}, memory);
  StartRovant();
  ASSERT_NE(WaitSelectionDialog(), nullptr);

  uidriver::Job job;
  std::string error;
  std::optional<uidriver::Process> second = uidriver::Process::Start(
      {uidriver::WindowsPath(ROVANT_E2E_ROVANT_EXE), {}, WorkFile(".").wstring(), {}, {}}, job,
      error);
  ASSERT_TRUE(second) << error;
  AnswerBox(ui::kAlreadyStarted, {IDOK}, IDOK, kWaitMs, second->id());
  EXPECT_EQ(second->WaitExit(kWaitMs), std::optional<DWORD>(0));
  EXPECT_TRUE(Rovant().Running());

  ChoosePrinter("HX320 on LPT1");
  ExpectOperation();

  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(ReadCombo(kLineSpacingCombo), "8 LPI  ");
  EXPECT_EQ(MonitorMemory(), memory);  // a read changes nothing in the printer
}

// The selection list is filled through the 8-bit calls, so a name shows there as the ANSI code
// page renders it; the spooler job must still open the printer by its own wide name.
class WideNameTest : public EndToEnd, public ::testing::WithParamInterface<std::wstring_view> {};

TEST_P(WideNameTest, ReadsThroughAPrinterWhoseNameTheCodePageCannotHold) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  StartMonitor({}, memory);
  std::filesystem::remove(CaptureFile());
  StartRovant();
  ChoosePrinter(uidriver::Narrow(win32::ToWide(win32::FromWide(GetParam()))));
  ExpectOperation();
  EXPECT_EQ(ReadCombo(kPitchCombo), "15 CPI ");
  // The one-byte job reached the printer's port: the spooler opened it by its wide name.
  EXPECT_EQ(ReadBytes(CaptureFile()), Bytes{0x18});
}

INSTANTIATE_TEST_SUITE_P(Names, WideNameTest,
                         ::testing::Values(L"HX320 Lager S\u00fcd",
                                           L"HX320 \u0421\u043a\u043b\u0430\u0434"));

// name, the answer, a working copy saying 12 CPI there before the start, what the page shows
// after the answer (nullptr: the program has ended)
using ReadFailureCase = std::tuple<const char*, int, bool, const char*>;

class ReadFailureTest : public EndToEnd, public ::testing::WithParamInterface<ReadFailureCase> {};

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadFailureTest,
    ::testing::Values(ReadFailureCase{"Abort", IDABORT, false, nullptr},
                      ReadFailureCase{"Retry", IDRETRY, false, "15 CPI "},
                      ReadFailureCase{"IgnoreWithAWorkingCopy", IDIGNORE, true, "12 CPI "},
                      ReadFailureCase{"IgnoreWithoutAWorkingCopy", IDIGNORE, false, "10 CPI "}),
    [](const auto& param) { return std::string(std::get<0>(param.param)); });

// The monitor's second exchange fails (status 1, at once); the printer says 15 CPI.
TEST_P(ReadFailureTest, TheAnswerDecidesHowTheProgramGoesOn) {
  const auto& [name, answer, workingCopy, pitch] = GetParam();
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  const std::optional<Bytes> saved =
      workingCopy ? std::optional<Bytes>(MemoryWith({L"MENU1.PITCH=12 CPI"})) : std::nullopt;
  if (saved) PutWorkingCopy(*saved);
  StartMonitor({L"--fail-exchange", L"2"}, memory);
  StartRovant();
  ChoosePrinter("HX320 on LPT1");
  AnswerBox(msg::kReadFailedContinue, {IDABORT, IDRETRY, IDIGNORE}, answer, 45000);
  if (answer == IDRETRY) {
    ChoosePrinter("HX320 on LPT1");
    ExpectOperation();
  }
  if (pitch == nullptr) {
    ExpectRovantEnded();
  } else {
    ASSERT_NE(WaitMainWindow(), nullptr);
    EXPECT_EQ(ReadCombo(kPitchCombo), pitch);
  }
  EXPECT_EQ(MonitorMemory(), memory);
  EXPECT_EQ(WorkingCopy(), saved);
}

}  // namespace
}  // namespace rovant::e2e
