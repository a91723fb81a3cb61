// The end-to-end fixture: rovant.exe and rovant-monitor-sim.exe as real processes under Wine with
// a real X display, driven from this process with rovant_uidriver.
//
// Each test gets a fresh working folder (work/<Suite>.<Test>, which is also rovant.exe's current
// folder), a job object that ends every process it started when the test ends, and on failure a
// screenshot screenshots/<Suite>.<Test>.png and the list of windows on screen. The test bed
// printers are installed once per test program.
//
//   StartMonitor({"--fail-exchange", "2"}, memory)   the language monitor's side, memory in its
//                                                    state file (MonitorMemory() reads it back)
//   StartRovant()                                    rovant.exe in the working folder
//   ChoosePrinter("HX320 on LPT1")                   the selection dialog: row, then OK
//   StartWithPrinter(memory)                         the three above and the first read
//   ExpectBox(text, icon, {IDOK}); Press(IDOK)       the next box: caption "ROVANT", this text
//   WaitMainWindow(); ReadCombo(id); SelectCombo(id, label); ClickCommand(id); MenuCommand(id)
//   SelectPage(kConfigPage); PageCombo(kConfigPage, id)
//   AnswerFileDialog("Save", file)                   the file dialog: a name typed in, then OK
//   StartNextMonitor(jobs, options, memory)          a second monitor run once the first ended
//   ExpectQuietFor(ms)                               no further box or status window comes
//   RovantExitCode()                                 its exit code, once it has ended
//
// Every wait is bounded (kWaitMs, or a given bound) and a failed one fails the test with a report.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testbed/uidriver/uidriver.hpp"

namespace rovant::e2e {

inline constexpr DWORD kWaitMs = 15000;

using Bytes = std::vector<std::uint8_t>;
using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// The panel's tabs, in order.
enum Page : int { kMenu1Page = 0, kMenu2Page, kHardwarePage, kAdjustPage, kConfigPage };

// A monitor run that serves one spooler job and then ends (StartNextMonitor starts the next).
inline const std::vector<std::wstring> kOneJob{L"--max-jobs", L"1"};

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The test's working folder (host path) and a file in it.
  [[nodiscard]] const std::filesystem::path& WorkFolder() const { return work_; }
  [[nodiscard]] std::filesystem::path WorkFile(const std::string& name) const {
    return work_ / name;
  }

  // Runs rovantctl.exe with `arguments` in the working folder; its exit code (-1: not started or
  // no exit within the bound).
  int RunCtl(const std::vector<std::wstring>& arguments);
  // An 87-byte memory: the factory defaults with `settings` ("MENU1.PITCH=12 CPI") applied, made
  // by rovantctl once per test program and then remembered.
  Bytes MemoryWith(const std::vector<std::wstring>& settings);

  // rovant-monitor-sim.exe with `options` and its state file monitor.fom (written from `memory`
  // first when given); waits until it has opened the mailbox.
  void StartMonitor(const std::vector<std::wstring>& options = {},
                    const std::optional<Bytes>& memory = std::nullopt);
  // Starts `program` with `arguments` in the working folder and the test's job, its output in
  // <name>.out, and waits until the output holds a whole line beginning with `ready`; the rest of
  // that line ("" when it does not come, which fails the test).
  std::string StartServer(std::optional<uidriver::Process>& process,
                          const std::filesystem::path& program,
                          const std::vector<std::wstring>& arguments, const std::string& name,
                          const std::string& ready);
  // The monitor's state file: the simulated printer's memory after its last job.
  Bytes MonitorMemory() const;
  // The monitor's output so far.
  std::string MonitorOutput() const;
  // Waits until the monitor has told "job `jobs` ended" (its state file is saved then), and
  // starts the next monitor run with `options` and `memory`: the printer seen by the next job.
  void StartNextMonitor(int jobs, const std::vector<std::wstring>& options,
                        const std::optional<Bytes>& memory);
  // The jobs the monitor has told the end of, and those since StartNextMonitor.
  int JobsEnded() const;
  int JobsSinceNextMonitor() const { return JobsEnded() - jobsBefore_; }

  // rovant.exe in the working folder, with `environment` added to its environment (e.g.
  // ROVANT_LAN_TCP_PORT) and, when `program` is given, that copy of rovant.exe instead of the
  // build's (e.g. one in a folder of its own, beside another SxJcp32.dll).
  void StartRovant(const Environment& environment = {}, const std::filesystem::path& program = {});
  uidriver::Process& Rovant() { return *rovant_; }
  // Its exit code within `timeoutMs`; fails the test when it does not end.
  std::optional<DWORD> RovantExitCode(DWORD timeoutMs = kWaitMs);
  // A monitor with `monitorOptions` and `memory`, rovant.exe, "HX320 on LPT1" chosen and its
  // memory read into the pages.
  void StartWithPrinter(const Bytes& memory,
                        const std::vector<std::wstring>& monitorOptions = kOneJob);

  // The printer selection dialog (template 190), waited for.
  HWND WaitSelectionDialog(DWORD timeoutMs = kWaitMs);
  // The dialog's printer rows (first column).
  std::vector<std::wstring> ListedPrinters();
  // Selects `printer` in the dialog and presses OK.
  void ChoosePrinter(const std::string& printer);
  void CancelSelection();
  // Brings `window` to the foreground and types `chords` ("Escape", "Alt+R", "Shift+Tab") with
  // SendInput.
  void TypeKeys(HWND window, const std::vector<std::string>& chords);

  // Waits for rovant.exe's next message box and checks caption "ROVANT", `text`, the icon and the
  // buttons; returns what it read.
  uidriver::MessageBoxContent ExpectBox(const std::string& text, uidriver::IconKind icon,
                                        const std::vector<int>& buttons, DWORD timeoutMs = kWaitMs);
  // Presses `button` of the box last read by ExpectBox and waits until the box has gone.
  void Press(int button);
  // Whether rovant.exe shows no message box (checked once, now).
  bool NoBoxShown();
  // No dialog of rovant.exe (message box, status window) appears within `ms`.
  void ExpectQuietFor(DWORD ms);

  // The main window (class "rovant") once it is the only window shown, enabled, for half a
  // second: an operation's last window has gone and no other follows at once.
  HWND WaitMainWindow(DWORD timeoutMs = kWaitMs);
  // The selected item of combo box `id` on the panel's current page; "" if none.
  std::string ReadCombo(int id);
  void SelectCombo(int id, const std::string& label);
  // Clicks command button `id` of the main window; posts menu command `id` to it.
  void ClickCommand(int id);
  void MenuCommand(int id);
  // Shows tab `page` as a click on it does and waits until its page is shown.
  void SelectPage(Page page);
  // Selects `page`, then reads combo box `id` on it.
  std::string PageCombo(Page page, int id);
  // The tab selected now; -1 when the tab control does not answer.
  int CurrentPage();

  // The file dialog captioned `title` ("OPEN" or "Save"): types `file` (a Windows path) into
  // its name field and presses OK; or Cancel.
  void AnswerFileDialog(const std::string& title, const std::filesystem::path& file);
  void CancelFileDialog(const std::string& title);

  // rovant.exe's working copy rovant.ini; nothing when it does not exist. Wine reports a
  // Windows NT with global kernel names, so the program keeps it in %APPDATA%\Vek\ROVANT
  // (SettingsFolder()), not in its current folder: SetUp removes it, TearDown copies it into
  // the working folder for the record.
  std::optional<Bytes> WorkingCopy() const;
  void PutWorkingCopy(const Bytes& bytes);
  static std::filesystem::path SettingsFolder();

  // The first read after a choice: the status window "Setting data is read from the printer"
  // appears and goes (within `timeoutMs`), then the main window is ready.
  void ExpectReadFromPrinter(DWORD timeoutMs = 45000);
  // The status window shows `text`, then goes within `timeoutMs`.
  void ExpectStatusWindow(const std::string& text, DWORD timeoutMs = 45000);

  // With ROVANT_E2E_TRACE set: each step with the milliseconds since SetUp, on standard error.
  void Trace(const std::string& step) const;
  // The LPT1 capture file of the test bed (host path) and its bytes.
  static std::filesystem::path CaptureFile();
  static Bytes CaptureBytes();

  // The windows on screen, for failure messages.
  std::string Screen() const;

  uidriver::IconCandidates icons_;

 private:
  std::string TestName() const;
  // The main window once it is the only window shown, enabled, for `settleMs`.
  HWND MainWindow(DWORD settleMs, DWORD timeoutMs);
  HWND WaitFileDialog(const std::string& title);

  std::filesystem::path work_;
  uidriver::Job job_;
  std::optional<uidriver::Process> monitor_;
  std::optional<uidriver::Process> rovant_;
  uidriver::MessageBoxContent lastBox_;
  int boxesSeen_ = 0;          // boxes pictured so far in this test
  bool mainPictured_ = false;  // the main window pictured in this test
  int jobsBefore_ = 0;         // jobs told before StartNextMonitor
  ULONGLONG started_ = 0;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace rovant::e2e
