// startup_probe.exe EXE PRINTER [RUNS]: how long rovant.exe takes from its start to the printer
// selection dialog, a line per run, and after the last run its working set once PRINTER has been
// read (current and peak, from GetProcessMemoryInfo). With "-" for PRINTER, another program's first
// window instead: a baseline of what Wine itself takes. Runs in a Wine session with the test bed's
// printers and a monitor answering on the mailbox (bench/startup_probe.sh).
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
    std::fprintf(stderr, "usage: startup_probe.exe EXE PRINTER|- [RUNS]\n");
    return 2;
  }
  const bool baseline = std::wstring(argv[2]) == L"-";
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 1;
  for (int run = 1; run <= runs; ++run) {
    ud::Job job;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const auto ms = [&] {
      return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
          .count();
    };
    const std::optional<ud::Process> process =
        ud::Process::Start({argv[1], {}, {}, {}, {}}, job, error);
    if (!process) {
      std::fprintf(stderr, "cannot start %ls: %s\n", argv[1], error.c_str());
      return 1;
    }
    // The program's dialog with the printer list (another program: its first window), looked
    // for every millisecond.
    ud::WindowQuery query;
    query.processId = process->id();
    if (!baseline) {
      query.className = L"#32770";
      query.childId = IDC_PRINTER_LIST;
    }
    std::vector<HWND> found;
    while ((found = ud::FindTopWindows(query)).empty()) {
      if (ms() > kTimeoutMs || !process->Running()) {
        std::fprintf(stderr, "run %d: no selection dialog\n", run);
        return 1;
      }
      ::Sleep(1);
    }
    std::printf("start to selection dialog: %.0f ms\n", ms());
    if (run == runs) {
      if (!baseline && !ReadPrinter(found.front(), *process, argv[2])) {
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
