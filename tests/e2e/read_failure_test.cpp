// A first read that fails: Abort ends the program, Retry chooses and reads again, Ignore goes on
// with the working copy (or the factory defaults when there is none).
#include <string>

#include "tests/e2e/e2e_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

constexpr int kPitchCombo = 1103;

class ReadFailureTest : public EndToEnd {
 protected:
  // Starts with a monitor whose second exchange fails (status 1, at once), chooses the LPT1
  // printer and waits for the question.
  void FailFirstRead(const Bytes& memory) {
    StartMonitor({L"--fail-exchange", L"2"}, memory);
    StartRovant();
    ChoosePrinter("HX320 on LPT1");
    ExpectBox(std::string(msg::kReadFailedContinue), IconKind::kPrinterWarning,
              {IDABORT, IDRETRY, IDIGNORE}, 45000);
  }
};

TEST_F(ReadFailureTest, AbortEndsTheProgram) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  FailFirstRead(memory);
  Press(IDABORT);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(MonitorMemory(), memory);
  EXPECT_FALSE(WorkingCopy().has_value());
}

TEST_F(ReadFailureTest, RetryChoosesAgainAndReads) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  FailFirstRead(memory);
  Press(IDRETRY);
  ChoosePrinter("HX320 on LPT1");
  ExpectReadFromPrinter();
  EXPECT_TRUE(NoBoxShown()) << Screen();
  EXPECT_EQ(ReadCombo(kPitchCombo), "15 CPI ");
  EXPECT_EQ(MonitorMemory(), memory);
}

TEST_F(ReadFailureTest, IgnoreLoadsTheWorkingCopy) {
  // The working copy says 12 CPI, the printer 15 CPI: the pages show the working copy.
  const Bytes saved = MemoryWith({L"MENU1.PITCH=12 CPI"});
  PutWorkingCopy(saved);
  FailFirstRead(MemoryWith({L"MENU1.PITCH=15 CPI"}));
  Press(IDIGNORE);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(saved));
}

TEST_F(ReadFailureTest, IgnoreWithoutAWorkingCopyGivesTheFactoryDefaults) {
  FailFirstRead(MemoryWith({L"MENU1.PITCH=15 CPI"}));
  Press(IDIGNORE);
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_EQ(ReadCombo(kPitchCombo), "10 CPI ");
}

}  // namespace
}  // namespace rovant::e2e
