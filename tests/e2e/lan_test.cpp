// A printer on the LAN ("HX320 on LAN", port "127.0.0.1:lp"), reached through SxJcp32.dll: the
// first read and a transfer against the simulated printer on a TCP port; a first read that fails
// because nobody listens, the printer does not answer, or the library lacks an entry point.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "texts/command_texts.hpp"
#include "texts/selection_messages.hpp"

namespace rovant::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLanPrinter = "HX320 on LAN";
constexpr DWORD kMemorySavedMs = 5000;

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

  // rovant.exe's environment for the printer's port; with `silenceMs`, the library's wait for a
  // reply's first byte (5000 when not set), so that a silent printer fails sooner.
  Environment LanEnvironment(const wchar_t* silenceMs = nullptr) const {
    Environment environment{{L"ROVANT_LAN_TCP_PORT", std::to_wstring(port_)}};
    if (silenceMs != nullptr) environment.emplace_back(L"ROVANT_LAN_RECEIVE_MS", silenceMs);
    return environment;
  }

  std::optional<uidriver::Process> printer_;
  std::uint16_t port_ = 0;
};

TEST_F(LanTest, ReadAndTransferGoThroughTheLibrary) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  StartLanPrinter(memory);
  PutWorkingCopy(MemoryWith({}));  // an earlier one, which quitting with Yes replaces
  StartRovant(LanEnvironment());
  ChoosePrinter(kLanPrinter);
  ExpectOperation();
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(PrinterMemory(), memory);  // a read changes nothing

  SelectCombo(kPitchCombo, "15 CPI ");
  ClickCommand(IDC_TRANSFER);
  AnswerBox(msg::kConfirmTransfer, {IDOK, IDCANCEL}, IDOK);
  ExpectOperation(msg::kStatusTransfer);
  const Bytes transferred = MemoryWith({L"MENU1.PITCH=15 CPI"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return PrinterMemory() == transferred; }, kMemorySavedMs))
      << "the printer's memory is not the transferred settings";

  // Quit saving the settings: the working copy holds what was transferred.
  ClickCommand(IDC_FINISH);
  AnswerBox(msg::kConfirmQuit, {IDCANCEL, IDYES, IDNO}, IDYES);
  ExpectRovantEnded();
  EXPECT_EQ(WorkingCopy(), std::optional<Bytes>(transferred));
}

// A first read on the LAN that fails: the messages in a row, each answered with OK, then the
// start-up question, answered with Abort; the printer's memory stays as it was. Nobody listening:
// the port is free, so the connection is refused; a silent printer takes the query but does not
// answer it; a library without an entry point: rovant.exe beside a SxJcp32.dll without SxSendICMP.
// name, the boxes before the start-up question
using LanFailureCase = std::pair<std::string_view, std::vector<std::string_view>>;

const LanFailureCase kLanFailures[] = {
    {"NobodyListening", {msg::kLanNoResponse}},
    {"SilentPrinter", {msg::kLanReceiveFailed, msg::kReadingFailed}},
    {"LibraryWithoutAnEntryPoint", {msg::kLanInitFailed}}};

class LanFailureTest : public LanTest, public ::testing::WithParamInterface<LanFailureCase> {};

INSTANTIATE_TEST_SUITE_P(FirstRead, LanFailureTest, ::testing::ValuesIn(kLanFailures),
                         [](const auto& param) { return std::string(param.param.first); });

TEST_P(LanFailureTest, ShowsItsMessagesThenTheQuestion) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  const auto& [side, boxes] = GetParam();
  // The silent printer refuses the second send, the query, so it has nothing to answer.
  StartLanPrinter(memory, side == "SilentPrinter"
                              ? std::vector<std::wstring>{L"--refuse-send", L"2"}
                              : std::vector<std::wstring>{});
  if (side == "NobodyListening") {  // its port is then free
    ::TerminateProcess(printer_->handle(), 1);
    ASSERT_TRUE(printer_->WaitExit(kWaitMs).has_value());
  }
  fs::path program;  // the build's rovant.exe
  if (side == "LibraryWithoutAnEntryPoint") {
    program = WorkFile("program") / "rovant.exe";
    ASSERT_TRUE(fs::create_directories(program.parent_path()));
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_ROVANT_EXE), program);
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_LAN_WITHOUT_ENTRY_DLL),
                  program.parent_path() / "SxJcp32.dll");
  }

  StartRovant(LanEnvironment(L"1000"), program);
  ChoosePrinter(kLanPrinter);
  for (const std::string_view box : boxes) AnswerBox(box, {IDOK}, IDOK);
  AnswerBox(msg::kReadFailedContinue, {IDABORT, IDRETRY, IDIGNORE}, IDABORT);
  ExpectRovantEnded();
  EXPECT_EQ(PrinterMemory(), memory);
  EXPECT_FALSE(WorkingCopy().has_value());
}

}  // namespace
}  // namespace rovant::e2e
