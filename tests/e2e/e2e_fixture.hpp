// The end-to-end fixture: rovant.exe and rovant-monitor-sim.exe as real processes under Wine with
// a real X display, driven with rovant_uidriver. Each test gets a fresh working folder
// (work/<Suite>.<Test>, also rovant.exe's current folder) and a job object that ends every process
// it started; a failed test lists the windows on screen. Every wait is bounded (kWaitMs, or a
// given bound) and a failed one fails the test with a report.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "testbed/uidriver/uidriver.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {

inline constexpr DWORD kWaitMs = 15000;

using Bytes = std::vector<std::uint8_t>;
using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// The panel's tabs, in order.
enum Page : int { kMenu1Page = 0, kMenu2Page, kHardwarePage, kAdjustPage, kConfigPage };

// Combo boxes of the pages (resources/rovant.rc).
enum Combo : int {
  kEmulateCombo = 1100,  // MENU1 EMULATE, the first of MENU1
  kPitchCombo = 1103,
  kLineSpacingCombo = 1104,
  kRightEndCombo = 1122,   // MENU1 RGHTEND, the last of MENU1
  kDirectionCombo = 1194,  // HARDWARE PRT-DIR
  kBuzzerCombo = 1195,
  kBufferCombo = 1197,   // HARDWARE BUFFER, its last
  kOriginCombo = 1221,   // ADJUST CNT-ORG, its first
  kTearOffCombo = 1258,  // CONFIG TEAROFF, its first
  kTearPositionCombo = 1259,
  kLockCombo = 1266,
  kTopOfFormCombo = 1274,  // CONFIG TOF-CTL, its last
};

// A monitor run that serves one spooler job and then ends (StartNextMonitor starts the next).
inline const std::vector<std::wstring> kOneJob{L"--max-jobs", L"1"};

Bytes ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  [[nodiscard]] std::filesystem::path WorkFile(const std::string& name) const {
    return work_ / name;
  }

  // An 87-byte memory: the factory defaults with `settings` ("MENU1.PITCH=12 CPI") applied, made
  // by rovantctl.exe once per test program and then remembered.
  Bytes MemoryWith(const std::vector<std::wstring>& settings);

  // rovant-monitor-sim.exe with `options` and its state file monitor.fom (written from `memory`
  // first when given); waits until it has opened the mailbox.
  void StartMonitor(const std::vector<std::wstring>& options = {},
                    const std::optional<Bytes>& memory = std::nullopt);
  // Starts `program` in the working folder and the test's job, its output in <name>.out, and
  // waits until the output holds a whole line beginning with `ready`; the rest of that line
  // ("" when it does not come, which fails the test).
  std::string StartServer(std::optional<uidriver::Process>& process,
                          const std::filesystem::path& program,
                          const std::vector<std::wstring>& arguments, const std::string& name,
                          const std::string& ready);
  // The monitor's state file: the simulated printer's memory after its last job.
  Bytes MonitorMemory() const { return ReadBytes(work_ / "monitor.fom"); }
  std::string MonitorOutput() const { return ReadText(work_ / "monitor.out"); }
  // Waits until a monitor run of one job has ended (its state file saved), and starts the next
  // run with `options` and `memory`: the printer seen by the next job.
  void StartNextMonitor(const std::vector<std::wstring>& options,
                        const std::optional<Bytes>& memory);
  // The jobs the monitor has told the end of, and those since StartNextMonitor.
  int JobsEnded() const;
  int JobsSinceNextMonitor() const { return JobsEnded() - jobsBefore_; }

  // rovant.exe in the working folder, with `environment` added (e.g. ROVANT_LAN_TCP_PORT) and,
  // when `program` is given, that copy of rovant.exe instead of the build's.
  void StartRovant(const Environment& environment = {}, const std::filesystem::path& program = {});
  uidriver::Process& Rovant() { return *rovant_; }
  void ExpectRovantEnded();  // with exit code 0, within kWaitMs
  // A monitor with `monitorOptions` and `memory`, rovant.exe, "HX320 on LPT1" chosen and its
  // memory read into the pages.
  void StartWithPrinter(const Bytes& memory,
                        const std::vector<std::wstring>& monitorOptions = kOneJob);

  HWND WaitDialogWith(int id);  // rovant.exe's dialog that holds control `id`; or null
  HWND WaitSelectionDialog();
  // Selects `printer` in the selection dialog and presses OK.
  void ChoosePrinter(const std::string& printer);
  // Brings `window` to the foreground and types `chords` ("Escape", "Alt+R", "Shift+Tab").
  void TypeKeys(HWND window, const std::vector<std::string>& chords);

  // Waits for the next message box of rovant.exe (or of `processId`), checks caption "ROVANT",
  // `text` and the buttons, presses `press` and waits until the box has gone.
  void AnswerBox(std::string_view text, const std::vector<int>& buttons, int press,
                 DWORD timeoutMs = kWaitMs, DWORD processId = 0);
  // No dialog of rovant.exe (message box, status window) is there or appears within `ms`.
  void ExpectQuietFor(DWORD ms);

  // The main window once it is the only window shown, enabled, for half a second: an operation's
  // last window has gone and no other follows at once.
  HWND WaitMainWindow() { return MainWindow(kSettledMs); }
  // The selected item of combo box `id`, its page shown first; "" if none.
  std::string ReadCombo(int id);
  void SelectCombo(int id, const std::string& label);  // its page shown first
  void ClickCommand(int id);                           // a command button of the main window
  void MenuCommand(int id);                            // posted to the main window
  // Shows tab `page` as a click on it does and waits until its page is shown.
  void SelectPage(Page page);
  int CurrentPage();  // -1 when the tab control does not answer

  // The file dialog captioned `title` ("OPEN" or "Save"): types `file` (a Windows path) into
  // its name field and presses OK; Cancel when `file` is empty.
  void AnswerFileDialog(const std::string& title, const std::filesystem::path& file);

  // rovant.exe's working copy rovant.ini; nothing when it does not exist. Wine reports a
  // Windows NT with global kernel names, so the program keeps it in %APPDATA%\Vek\ROVANT, not in
  // its current folder: SetUp removes it, TearDown copies it into the working folder.
  std::optional<Bytes> WorkingCopy() const;
  void PutWorkingCopy(const Bytes& bytes);

  // An operation's status window shows `text`, then goes; then (ExpectOperation) the main window
  // is ready.
  void ExpectStatusWindow(std::string_view text, DWORD timeoutMs = 45000);
  void ExpectOperation(std::string_view text = msg::kStatusReading) {
    ExpectStatusWindow(text);
    ASSERT_NE(WaitMainWindow(), nullptr);
  }

  static std::string Screen() { return uidriver::DescribeWindows(); }

 private:
  static constexpr DWORD kSettledMs = 500;
  HWND MainWindow(DWORD settleMs);
  HWND MainChild(int id);   // of the main window; or null
  HWND ShownCombo(int id);  // its page shown first; null, failing the test, if not visible

  std::filesystem::path work_;
  uidriver::Job job_;
  std::optional<uidriver::Process> monitor_;
  std::optional<uidriver::Process> rovant_;
  int jobsBefore_ = 0;  // jobs told before StartNextMonitor
};

// The LPT1 capture file of the test bed (its spooler jobs to LPT1).
std::filesystem::path CaptureFile();

}  // namespace rovant::e2e
