// Steps of the main window's commands for end-to-end scenarios, on top of the EndToEnd fixture:
//
//   MenuCommand(IDM_SAVE)                    a menu command, as the menu sends it
//   SelectPage(kConfigPage)                  a tab of the panel, as the arrow keys choose it
//   PageCombo(kConfigPage, id)               the value a combo box of that page shows
//   AnswerFileDialog("Save", file)           the file dialog: a name typed in, then OK
//   StartNextMonitor(jobs, options, memory)  a second monitor run once the first has ended
//   ExpectQuietFor(ms)                       no further box or status window comes
//   Memory({L"MENU1.PITCH=12 CPI"})          MemoryWith, each made once per test program
//
// Every wait is bounded; a failed one fails the test with the windows on screen.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.hpp"

namespace rovant::e2e {

// The panel's tabs, in order.
enum Page : int { kMenu1Page = 0, kMenu2Page, kHardwarePage, kAdjustPage, kConfigPage };

class CommandScenario : public EndToEnd {
 protected:
  // A monitor that serves the start-up read only (one job), rovant.exe, "HX320 on LPT1" chosen
  // and its memory read into the pages.
  void StartWithPrinter(const Bytes& memory, const std::vector<std::wstring>& monitorOptions = {});

  // Posts the menu command `id` to the main window.
  void MenuCommand(int id);

  // Shows tab `page` (the tab control's own handling of Left and Right) and waits until its
  // page is shown.
  void SelectPage(Page page);
  // Selects `page`, then reads combo box `id` on it.
  std::string PageCombo(Page page, int id);

  // The file dialog captioned `title` ("OPEN" or "Save"): types `file` (a Windows path) into
  // its name field and presses OK; or Cancel.
  void AnswerFileDialog(const std::string& title, const std::filesystem::path& file);
  void CancelFileDialog(const std::string& title);
  HWND WaitFileDialog(const std::string& title);

  // Waits until the monitor has told "job `jobs` ended" (its state file is saved then), and
  // starts the next monitor run with `options` and `memory`: the printer seen by the next job.
  void StartNextMonitor(int jobs, const std::vector<std::wstring>& options,
                        const std::optional<Bytes>& memory);
  // The monitor's output so far.
  std::string MonitorOutput() const;
  // The jobs the monitor has told the end of, and those since StartNextMonitor.
  int JobsEnded() const;
  int JobsSinceNextMonitor() const;

  // No dialog of rovant.exe (message box, status window) appears within `ms`.
  void ExpectQuietFor(DWORD ms);

  // MemoryWith(settings), made by rovantctl once per test program and then remembered.
  Bytes Memory(const std::vector<std::wstring>& settings);

 private:
  int jobsBefore_ = 0;
};

}  // namespace rovant::e2e
