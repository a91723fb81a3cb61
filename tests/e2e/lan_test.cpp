// A printer on the LAN ("HX320 on LAN", port "127.0.0.1:lp"), reached through SxJcp32.dll: the
// first read and a transfer against the simulated printer on a TCP port; a first read that fails
// because nobody listens, the printer does not answer, or the library lacks an entry point.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"
#include "texts/printer_messages.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::e2e {
namespace {

namespace fs = std::filesystem;
using uidriver::IconKind;

constexpr const char* kLanPrinter = "HX320 on LAN";
constexpr int kPitchCombo = 1103;  // MENU1 PITCH
// A LAN exchange waits a second before and after each send and after each receive.
constexpr DWORD kLanWriteMs = 30000;
constexpr DWORD kMemorySavedMs = 5000;
// How long the LAN library waits for a reply's first byte in these tests (5 s when not set).
constexpr unsigned kSilenceMs = 1000;

// rovant.exe's environment for a LAN printer on `port` (ROVANT_LAN_TCP_PORT); with `receiveMs`,
// the library's wait for a reply's first byte (ROVANT_LAN_RECEIVE_MS, 5000 when not set), so
// that a silent printer fails sooner.
Environment LanEnvironment(std::uint16_t port, unsigned receiveMs = 0) {
  Environment environment{{L"ROVANT_LAN_TCP_PORT", std::to_wstring(port)}};
  if (receiveMs != 0)
    environment.emplace_back(L"ROVANT_LAN_RECEIVE_MS", std::to_wstring(receiveMs));
  return environment;
}

// The printer on the LAN: rovant-printer-sim.exe --listen on a free port of 127.0.0.1 (the test
// bed's "HX320 on LAN" printer, port "127.0.0.1:lp"), with its memory in lan-printer.fom, which
// it saves after every session.
class LanTest : public EndToEnd {
 protected:
  // Starts the simulator with `memory` and its `faults` ("--refuse-send 2") and waits until it
  // says which port it listens on.
  void StartLanPrinter(const Bytes& memory, const std::vector<std::wstring>& faults = {}) {
    WriteBytes(WorkFile("lan-printer.fom"), memory);
    std::vector<std::wstring> arguments{L"--listen", L"127.0.0.1:0", L"--state",
                                        WorkFile("lan-printer.fom").wstring()};
    arguments.insert(arguments.end(), faults.begin(), faults.end());
    const std::string port =
        StartServer(printer_, uidriver::WindowsPath(ROVANT_E2E_PRINTER_SIM_EXE), arguments,
                    "lan-printer", "listening on 127.0.0.1:");
    port_ = static_cast<std::uint16_t>(std::strtoul(port.c_str(), nullptr, 10));
    ASSERT_NE(port_, 0) << "no port in \"" << port << "\"";
  }
  // The simulated printer's memory as last saved.
  Bytes PrinterMemory() const { return ReadBytes(WorkFile("lan-printer.fom")); }

  std::optional<uidriver::Process> printer_;
  std::uint16_t port_ = 0;
};

TEST_F(LanTest, ReadAndTransferGoThroughTheLibrary) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  StartLanPrinter(memory);
  PutWorkingCopy(MemoryWith({}));  // an earlier one, which quitting with Yes replaces
  StartRovant(LanEnvironment(port_));
  ChoosePrinter(kLanPrinter);
  ExpectReadFromPrinter();
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(PrinterMemory(), memory);  // a read changes nothing

  SelectCombo(kPitchCombo, "15 CPI ");
  ClickCommand(IDC_TRANSFER);
  ExpectBox(std::string(msg::kConfirmTransfer), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDOK);
  ExpectStatusWindow(std::string(msg::kStatusTransfer), kLanWriteMs);
  const Bytes transferred = MemoryWith({L"MENU1.PITCH=15 CPI"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return PrinterMemory() == transferred; }, kMemorySavedMs))
      << "the printer's memory is not the transferred settings";
  ASSERT_NE(WaitMainWindow(), nullptr);

  // Quit saving the settings: the working copy holds what was transferred.
  ClickCommand(IDC_FINISH);
  ExpectBox(std::string(msg::kConfirmQuit), IconKind::kQuestion, {IDCANCEL, IDYES, IDNO});
  Press(IDYES);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(transferred));
}

// A first read on the LAN that fails: the messages in a row, each answered with OK, then the
// start-up question, answered with Abort; the printer's memory stays as it was.
enum class LanSide {
  kNobodyListening,  // the port is free: the connection is refused
  kSilent,           // the printer takes the query but does not answer it
  kBrokenLibrary,    // rovant.exe beside a SxJcp32.dll without SxSendICMP
};

struct Box {
  std::string_view text;
  IconKind icon;
};

struct LanFailureCase {
  const char* name;
  LanSide side;
  std::vector<Box> boxes;  // before the start-up question
};

class LanFailureTest : public LanTest, public ::testing::WithParamInterface<LanFailureCase> {};

INSTANTIATE_TEST_SUITE_P(
    FirstRead, LanFailureTest,
    ::testing::Values(LanFailureCase{"NobodyListening",
                                     LanSide::kNobodyListening,
                                     {{msg::kLanNoResponse, IconKind::kPrinterError}}},
                      LanFailureCase{"SilentPrinter",
                                     LanSide::kSilent,
                                     {{msg::kLanReceiveFailed, IconKind::kPrinterError},
                                      {msg::kReadingFailed, IconKind::kPrinterWarning}}},
                      LanFailureCase{"LibraryWithoutAnEntryPoint",
                                     LanSide::kBrokenLibrary,
                                     {{msg::kLanInitFailed, IconKind::kPrinterError}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_P(LanFailureTest, ShowsItsMessagesThenTheQuestion) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  const LanSide side = GetParam().side;
  // The silent printer refuses the second send, the query, so it has nothing to answer.
  StartLanPrinter(memory, side == LanSide::kSilent
                              ? std::vector<std::wstring>{L"--refuse-send", L"2"}
                              : std::vector<std::wstring>{});
  if (side == LanSide::kNobodyListening) {
    // Its port is then free, with nobody listening.
    ::TerminateProcess(printer_->handle(), 1);
    ASSERT_TRUE(printer_->WaitExit(kWaitMs).has_value());
  }
  fs::path program;  // the build's rovant.exe
  if (side == LanSide::kBrokenLibrary) {
    program = WorkFolder() / "program" / "rovant.exe";
    ASSERT_TRUE(fs::create_directories(program.parent_path()));
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_ROVANT_EXE), program);
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_LAN_WITHOUT_ENTRY_DLL),
                  program.parent_path() / "SxJcp32.dll");
  }

  StartRovant(LanEnvironment(port_, kSilenceMs), program);
  ChoosePrinter(kLanPrinter);
  for (const Box& box : GetParam().boxes) {
    ExpectBox(std::string(box.text), box.icon, {IDOK});
    Press(IDOK);
  }
  ExpectBox(std::string(msg::kReadFailedContinue), IconKind::kPrinterWarning,
            {IDABORT, IDRETRY, IDIGNORE});
  Press(IDABORT);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(PrinterMemory(), memory);
  EXPECT_FALSE(WorkingCopy().has_value());
}

}  // namespace
}  // namespace rovant::e2e
