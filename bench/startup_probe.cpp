// startup_probe.exe: how long rovant.exe takes from its start to the printer selection dialog,
// and its working set once the chosen printer has been read. Runs in a Wine session with the
// test bed's printers and a monitor answering on the mailbox (bench/startup_probe.sh).
//
//   startup_probe.exe ROVANT_EXE PRINTER [RUNS]
//   startup_probe.exe OTHER_EXE - [RUNS]      the same for another program (its first window), as
//                                             a baseline of what Wine itself takes
//
// Prints one line per run: "start to selection dialog: N ms", then, for the last run, the
// working set after the read (current and peak, from GetProcessMemoryInfo).
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "resources/resource_ids.h"
#include "testbed/uidriver/uidriver.hpp"

namespace {

namespace ud = rovant::uidriver;

constexpr DWORD kTimeoutMs = 60000;

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

bool gBaseline = false;  // another program: its first visible window counts

// The selection dialog: the program's dialog that holds the printer list.
HWND SelectionDialog(DWORD processId) {
  ud::WindowQuery query;
  query.processId = processId;
  if (!gBaseline) query.className = L"#32770";
  for (HWND dialog : ud::FindTopWindows(query)) {
    if (gBaseline || ::GetDlgItem(dialog, IDC_PRINTER_LIST) != nullptr) return dialog;
  }
  return nullptr;
}

// Starts the program and waits for its selection dialog, polling every millisecond.
bool TimeStart(const std::wstring& exe, ud::Job& job, std::optional<ud::Process>& process,
               HWND& dialog, double& ms) {
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  process = ud::Process::Start({exe, {}, {}, {}, {}}, job, error);
  if (!process) {
    std::fprintf(stderr, "cannot start %ls: %s\n", exe.c_str(), error.c_str());
    return false;
  }
  while ((dialog = SelectionDialog(process->id())) == nullptr) {
    if (MsSince(start) > kTimeoutMs || !process->Running()) return false;
    ::Sleep(1);
  }
  ms = MsSince(start);
  return true;
}

// Chooses the printer and waits until the main window stands alone (the read is over).
bool ReadPrinter(HWND dialog, const ud::Process& process, const std::wstring& printer) {
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  int row = -1;
  ud::WaitUntil([&] { return (row = ud::FindListViewRow(list, printer)) >= 0; }, kTimeoutMs);
  if (row < 0 || !ud::SelectListViewRow(list, row) || !ud::PressCommand(dialog, IDC_SELECTION_OK)) {
    return false;
  }
  ud::WindowQuery main;
  main.processId = process.id();
  main.className = L"rovant";
  return ud::WaitSoleWindow(main, 1000, kTimeoutMs) != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_probe.exe ROVANT_EXE PRINTER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 1;
  gBaseline = std::wstring(argv[2]) == L"-";
  for (int run = 1; run <= runs; ++run) {
    ud::Job job;
    std::optional<ud::Process> process;
    HWND dialog = nullptr;
    double ms = 0;
    if (!TimeStart(argv[1], job, process, dialog, ms)) {
      std::fprintf(stderr, "run %d: no selection dialog\n", run);
      return 1;
    }
    std::printf("start to selection dialog: %.0f ms\n", ms);
    if (run == runs) {
      if (!gBaseline && !ReadPrinter(dialog, *process, argv[2])) {
        std::fprintf(stderr, "the printer was not read\n");
        return 1;
      }
      PROCESS_MEMORY_COUNTERS counters{};
      counters.cb = sizeof(counters);
      if (::GetProcessMemoryInfo(process->handle(), &counters, sizeof(counters)) == FALSE) return 1;
      std::printf("working set at the end: %.1f MB (peak %.1f MB)\n",
                  static_cast<double>(counters.WorkingSetSize) / 1048576.0,
                  static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0);
    }
    job.KillAll();
    static_cast<void>(process->WaitExit(5000));
  }
  return 0;
}
