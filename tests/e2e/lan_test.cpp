// A printer on the LAN ("HX320 on LAN", port "127.0.0.1:lp"), reached through SxJcp32.dll: the
// first read and a transfer against the simulated printer on a TCP port; a first read that fails
// because nobody listens, the printer does not answer, or the library lacks an entry point.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/e2e/e2e_fixture.hpp"
#include "tests/e2e/lan_printer.hpp"
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

class LanTest : public EndToEnd {
 protected:
  // The simulated printer listening with `memory`.
  void StartLanPrinter(const Bytes& memory) {
    std::string error;
    ASSERT_TRUE(printer_.Start(WorkFolder(), &memory, {}, error)) << error;
  }

  LanPrinter printer_;
};

TEST_F(LanTest, ReadAndTransferGoThroughTheLibrary) {
  const Bytes memory = MemoryWith({L"MENU1.PITCH=12 CPI"});
  StartLanPrinter(memory);
  StartRovant(LanEnvironment(printer_.port()));
  ChoosePrinter(kLanPrinter);
  ExpectReadFromPrinter();
  EXPECT_TRUE(NoBoxShown()) << Screen();
  EXPECT_EQ(ReadCombo(kPitchCombo), "12 CPI ");
  EXPECT_EQ(printer_.Memory(), memory);  // a read changes nothing

  SelectCombo(kPitchCombo, "15 CPI ");
  ClickCommand(IDC_TRANSFER);
  ExpectBox(std::string(msg::kConfirmTransfer), IconKind::kQuestion, {IDOK, IDCANCEL});
  Press(IDOK);
  ExpectStatusWindow(std::string(msg::kStatusTransfer), kLanWriteMs);
  const Bytes transferred = MemoryWith({L"MENU1.PITCH=15 CPI"});
  EXPECT_TRUE(uidriver::WaitUntil([&] { return printer_.Memory() == transferred; }, kMemorySavedMs))
      << "the printer's memory is not the transferred settings";
  ASSERT_NE(WaitMainWindow(), nullptr);
  EXPECT_TRUE(NoBoxShown()) << Screen();

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
  std::string error;
  // The silent printer refuses the second send, the query, so it has nothing to answer.
  const std::vector<std::wstring> faults = side == LanSide::kSilent
                                               ? std::vector<std::wstring>{L"--refuse-send", L"2"}
                                               : std::vector<std::wstring>{};
  ASSERT_TRUE(printer_.Start(WorkFolder(), &memory, faults, error)) << error;
  const std::uint16_t port = printer_.port();
  if (side == LanSide::kNobodyListening) printer_.Stop();
  fs::path program;  // the build's rovant.exe
  if (side == LanSide::kBrokenLibrary) {
    program = WorkFolder() / "program" / "rovant.exe";
    ASSERT_TRUE(fs::create_directories(program.parent_path()));
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_ROVANT_EXE), program);
    fs::copy_file(uidriver::WindowsPath(ROVANT_E2E_LAN_WITHOUT_ENTRY_DLL),
                  program.parent_path() / "SxJcp32.dll");
  }

  StartRovant(LanEnvironment(port, kSilenceMs), program);
  ChoosePrinter(kLanPrinter);
  for (const Box& box : GetParam().boxes) {
    ExpectBox(std::string(box.text), box.icon, {IDOK});
    Press(IDOK);
  }
  ExpectBox(std::string(msg::kReadFailedContinue), IconKind::kPrinterWarning,
            {IDABORT, IDRETRY, IDIGNORE});
  Press(IDABORT);
  EXPECT_EQ(RovantExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(printer_.Memory(), memory);
  EXPECT_FALSE(WorkingCopy().has_value());
}

}  // namespace
}  // namespace rovant::e2e
