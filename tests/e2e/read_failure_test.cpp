// A first read that fails: Abort ends the program, Retry chooses and reads again, Ignore goes on
// with the working copy (or the factory defaults when there is none).
#include <optional>
#include <string>

#include "tests/e2e/e2e_fixture.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::e2e {
namespace {

using uidriver::IconKind;

constexpr int kPitchCombo = 1103;

struct ReadFailureCase {
  const char* name;
  int answer;
  bool workingCopy;   // one saying 12 CPI is there before the start
  const char* pitch;  // what the page shows after the answer; nullptr: the program has ended
};

class ReadFailureTest : public EndToEnd, public ::testing::WithParamInterface<ReadFailureCase> {};

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadFailureTest,
    ::testing::Values(ReadFailureCase{"Abort", IDABORT, false, nullptr},
                      ReadFailureCase{"Retry", IDRETRY, false, "15 CPI "},
                      ReadFailureCase{"IgnoreWithAWorkingCopy", IDIGNORE, true, "12 CPI "},
                      ReadFailureCase{"IgnoreWithoutAWorkingCopy", IDIGNORE, false, "10 CPI "}),
    [](const auto& param) { return std::string(param.param.name); });

// The monitor's second exchange fails (status 1, at once); the printer says 15 CPI.
TEST_P(ReadFailureTest, TheAnswerDecidesHowTheProgramGoesOn) {
  const ReadFailureCase& c = GetParam();
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  const std::optional<Bytes> saved =
      c.workingCopy ? std::optional<Bytes>(MemoryWith({L"MENU1.PITCH=12 CPI"})) : std::nullopt;
  if (saved) PutWorkingCopy(*saved);
  StartMonitor({L"--fail-exchange", L"2"}, memory);
  StartRovant();
  ChoosePrinter("HX320 on LPT1");
  ExpectBox(std::string(msg::kReadFailedContinue), IconKind::kPrinterWarning,
            {IDABORT, IDRETRY, IDIGNORE}, 45000);
  Press(c.answer);
  if (c.answer == IDRETRY) {
    ChoosePrinter("HX320 on LPT1");
    ExpectReadFromPrinter();
  }
  if (c.pitch == nullptr) {
    EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  } else {
    ASSERT_NE(WaitMainWindow(), nullptr);
    EXPECT_EQ(ReadCombo(kPitchCombo), c.pitch);
  }
  EXPECT_EQ(MonitorMemory(), memory);
  EXPECT_EQ(WorkingCopy(), saved);
}

}  // namespace
}  // namespace rovant::e2e
