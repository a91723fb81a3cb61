// The end-to-end fixture: rovant.exe and rovant-monitor-sim.exe as real processes under Wine with
// a real X display, driven from this process with rovant_uidriver.
//
// Each test gets a fresh working folder (work/<Suite>.<Test>, which is also rovant.exe's current
// folder and so holds its working copy rovant.ini), a job object that ends every process it
// started when the test ends, and on failure a screenshot screenshots/<Suite>.<Test>.png and the
// list of windows on screen. The test bed printers are installed once per test program.
//
//   StartMonitor({"--fail-exchange", "2"}, memory)   the language monitor's side, memory in its
//                                                    state file (MonitorMemory() reads it back)
//   StartRovant()                                    rovant.exe in the working folder
//   ChoosePrinter("HX320 on LPT1")                   the selection dialog: row, then OK
//   CancelSelection()
//   ExpectBox(text, icon, {IDOK})                    the next box: caption "ROVANT", this text
//   Press(IDOK)                                      a button of that box
//   WaitMainWindow(); ReadCombo(id); SelectCombo(id, label); ClickCommand(id)
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
  // An 87-byte memory: the factory defaults with `settings` ("MENU1.PITCH=12 CPI") applied.
  Bytes MemoryWith(const std::vector<std::wstring>& settings);

  // rovant-monitor-sim.exe with `options` and its state file monitor.fom (written from `memory`
  // first when given); waits until it has opened the mailbox.
  void StartMonitor(const std::vector<std::wstring>& options = {},
                    const std::optional<Bytes>& memory = std::nullopt);
  // The monitor's state file: the simulated printer's memory after its last job.
  Bytes MonitorMemory() const;

  // rovant.exe in the working folder.
  void StartRovant();
  // The same with `environment` added to its environment (e.g. ROVANT_LAN_TCP_PORT) and, when
  // `program` is given, that copy of rovant.exe instead of the build's (e.g. one in a folder of
  // its own, beside another SxJcp32.dll).
  void StartRovant(const std::vector<std::pair<std::wstring, std::wstring>>& environment,
                   const std::filesystem::path& program = {});
  uidriver::Process& Rovant() { return *rovant_; }
  // Its exit code within `timeoutMs`; fails the test when it does not end.
  std::optional<DWORD> RovantExitCode(DWORD timeoutMs = kWaitMs);

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

  // Waits for rovant.exe's next message box and checks caption "ROVANT", `text`, the icon (not
  // checked when `icon` is nothing) and the buttons; returns what it read.
  uidriver::MessageBoxContent ExpectBox(const std::string& text,
                                        std::optional<uidriver::IconKind> icon,
                                        const std::vector<int>& buttons, DWORD timeoutMs = kWaitMs);
  // Presses `button` of the box last read by ExpectBox and waits until the box has gone.
  void Press(int button);
  // Whether rovant.exe shows no message box (checked once, now).
  bool NoBoxShown();

  // The main window (class "rovant"), waited for.
  HWND WaitMainWindow(DWORD timeoutMs = kWaitMs);
  // The selected item of combo box `id` on the panel's current page; "" if none.
  std::string ReadCombo(int id);
  void SelectCombo(int id, const std::string& label);
  // Clicks command button `id` of the main window.
  void ClickCommand(int id);

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
  // Saves a screenshot named after the test with `suffix`.
  void SaveScreenshot(const std::string& suffix) const;

  uidriver::IconCandidates icons_;

 private:
  std::string TestName() const;

  std::filesystem::path work_;
  uidriver::Job job_;
  std::optional<uidriver::Process> monitor_;
  std::optional<uidriver::Process> rovant_;
  uidriver::MessageBoxContent lastBox_;
  int boxesSeen_ = 0;          // boxes pictured so far in this test
  bool mainPictured_ = false;  // the main window pictured in this test
  ULONGLONG started_ = 0;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace rovant::e2e
