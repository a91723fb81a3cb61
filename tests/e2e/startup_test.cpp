// Starting rovant.exe: a second start, and a first read of the printer through the language
// monitor's mailbox, with what it leaves in the simulated printer and on disk.
#include "ui/startup.hpp"

#include <string>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"

namespace rovant::e2e {
namespace {

// MENU1 combo boxes (resources/rovant.rc).
constexpr int kEmulateCombo = 1100;
constexpr int kPitchCombo = 1103;
constexpr int kLineSpacingCombo = 1104;

using StartupTest = EndToEnd;

// A second start while the first shows its selection dialog says so and ends; the first goes on
// to read the chosen printer.
TEST_F(StartupTest, ASecondStartEndsAndChoosingAPrinterReadsItsMemoryIntoThePages) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI", L"MENU1.LINE SP=8 LPI"});
  ASSERT_EQ(memory.size(), 87u);
  StartMonitor({}, memory);
  std::filesystem::remove(CaptureFile());
  StartRovant();
  ASSERT_NE(WaitSelectionDialog(), nullptr);

  uidriver::Job job;
  std::string error;
  std::optional<uidriver::Process> second = uidriver::Process::Start(
      {uidriver::WindowsPath(ROVANT_E2E_ROVANT_EXE), {}, WorkFolder().wstring(), {}, {}}, job,
      error);
  ASSERT_TRUE(second) << error;
  HWND box = uidriver::WaitMessageBox(second->id(), kWaitMs);
  ASSERT_NE(box, nullptr) << Screen();
  const uidriver::MessageBoxContent content = uidriver::ReadMessageBox(box, icons_);
  EXPECT_EQ(uidriver::Narrow(content.caption), "ROVANT");
  EXPECT_EQ(uidriver::Narrow(content.text), ui::kAlreadyStarted);
  EXPECT_EQ(content.buttons, std::vector<int>{IDOK});
  ASSERT_TRUE(uidriver::ClickButton(::GetDlgItem(box, IDOK)));
  EXPECT_EQ(second->WaitExit(kWaitMs), std::optional<DWORD>(0));
  EXPECT_TRUE(Rovant().Running());

  EXPECT_THAT(uidriver::ListViewRows(::GetDlgItem(WaitSelectionDialog(), IDC_PRINTER_LIST)),
              ::testing::IsSupersetOf({L"HX320 on LPT1", L"HX310 on USB"}));
  ChoosePrinter("HX320 on LPT1");
  ExpectReadFromPrinter();

  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(ReadCombo(kLineSpacingCombo), "8 LPI  ");
  EXPECT_EQ(ReadCombo(kEmulateCombo), "DPL24C+");  // as in the memory: the factory setting
  // A read changes nothing in the printer.
  EXPECT_EQ(MonitorMemory(), memory);
  // The read was one job, which began with the one-byte spooler job to LPT1.
  EXPECT_EQ(ReadBytes(CaptureFile()), Bytes{0x18});
}

// The selection list is filled through the 8-bit calls, so a name shows there as the ANSI code
// page renders it; the spooler job must still open the printer by its own wide name.
std::string AsListed(std::wstring_view name) {
  const int length = static_cast<int>(name.size());
  std::string ansi(static_cast<std::size_t>(length) * 2, '\0');
  ansi.resize(static_cast<std::size_t>(
      ::WideCharToMultiByte(CP_ACP, 0, name.data(), length, ansi.data(),
                            static_cast<int>(ansi.size()), nullptr, nullptr)));
  std::wstring shown(ansi.size(), L'\0');
  shown.resize(static_cast<std::size_t>(
      ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), shown.data(),
                            static_cast<int>(shown.size()))));
  return uidriver::Narrow(shown);
}

class WideNameTest : public EndToEnd, public ::testing::WithParamInterface<std::wstring_view> {};

TEST_P(WideNameTest, ReadsThroughAPrinterWhoseNameTheCodePageCannotHold) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=15 CPI"});
  StartMonitor({}, memory);
  std::filesystem::remove(CaptureFile());
  StartRovant();
  ChoosePrinter(AsListed(GetParam()));
  ExpectReadFromPrinter();
  EXPECT_EQ(ReadCombo(kPitchCombo), "15 CPI ");
  // The one-byte job reached the printer's port: the spooler opened it by its wide name.
  EXPECT_EQ(ReadBytes(CaptureFile()), Bytes{0x18});
}

INSTANTIATE_TEST_SUITE_P(Names, WideNameTest,
                         ::testing::Values(L"HX320 Lager S\u00fcd",
                                           L"HX320 \u0421\u043a\u043b\u0430\u0434"));

}  // namespace
}  // namespace rovant::e2e
