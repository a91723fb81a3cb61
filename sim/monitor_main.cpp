// rovant-monitor-sim: the language monitor's side of the reply mailbox for
// tests and demonstrations on Windows. It opens the named mapping and mutex
// the setup program uses and answers each command through the simulated
// printer, with the printer's faults and a monitor's own.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <iostream>

#include "cli_front/command_line.hpp"
#include "connection/mailbox_names.hpp"
#include "platform/native_file_system.hpp"
#include "platform/platform_class_win32.hpp"
#include "rovant_version.h"
#include "sim/monitor_channel_win32.hpp"
#include "sim/monitor_loop.hpp"
#include "sim/printer_options.hpp"
#include "sim/printer_state.hpp"

namespace {

using namespace rovant;
using namespace rovant::sim;
using Clock = std::chrono::steady_clock;

constexpr const char* kDescription =
    "rovant-monitor-sim - the printer driver's language monitor played for testing\n"
    "ROVANT: opens the reply mailbox (the named file mapping and mutex the setup\n"
    "program shares with the monitor) and answers every send and receive through a\n"
    "simulated HX310 or HX320, as a printer on a local port would.";

constexpr const char* kFooter =
    "Prints \"monitoring NAME\" once the mailbox is open, and \"job N ended\" after each\n"
    "job. The state file holds the printer's memory (87 bytes), saved after every job.\n"
    "Exit status: 0 success, 1 failure (damaged state file, mailbox not opened, state\n"
    "not saved), 2 wrong usage.";

struct MonitorOptions {
  MonitorFaults faults;
  bool holdMutex = false;
  int maxJobs = 0;
  unsigned idleExitSeconds = 0;
  std::string names = "auto";
};

MailboxNames NamesFor(const std::string& choice) {
  if (choice == "local") return MailboxNamesFor(true);
  if (choice == "global") return MailboxNamesFor(false);
  return MailboxNamesFor(QueryPlatformClass().localNamespace);
}

// Waits out the idle time (or for ever) while the mutex stays held.
int HoldAndWait(Win32MonitorChannel& channel, unsigned idleExitSeconds) {
  if (!channel.HoldLock()) {
    std::cerr << "rovant-monitor-sim: the mailbox mutex cannot be taken\n";
    return kSimFailed;
  }
  std::cout << "holding the mailbox mutex" << std::endl;
  const Clock::time_point until = Clock::now() + std::chrono::seconds(idleExitSeconds);
  while (idleExitSeconds == 0 || Clock::now() < until) ::Sleep(100);
  return kSimOk;
}

int Serve(const SimOptions& options, const MonitorOptions& monitor, Win32MonitorChannel& channel,
          FileSystem& fs, std::ostream& paper) {
  const Expected<SettingsRecord> memory = LoadStartingMemory(options, fs);
  if (!memory) {
    std::cerr << "rovant-printer-sim: " << memory.error() << '\n';
    return kSimFailed;
  }
  SimulatedPrinter printer(options.model, *memory);
  printer.faults() = options.faults;
  MonitorLoop loop(channel, printer, monitor.faults);
  Clock::time_point lastActivity = Clock::now();
  const auto idleLimit = std::chrono::seconds(monitor.idleExitSeconds);
  for (;;) {
    const MonitorEvent event = loop.Step();
    if (event == MonitorEvent::kAnswered || event == MonitorEvent::kIgnored) {
      lastActivity = Clock::now();
    }
    if (event == MonitorEvent::kJobEnded) {
      lastActivity = Clock::now();
      if (!WriteOutPaper(printer, options, paper, std::cerr)) return kSimFailed;
      if (!options.statePath.empty()) {
        if (const Expected<void> saved = SavePrinterState(fs, options.statePath, printer.memory());
            !saved) {
          std::cerr << "rovant-monitor-sim: " << saved.error() << '\n';
          return kSimFailed;
        }
      }
      std::cout << "job " << loop.jobsEnded() << " ended" << std::endl;
      if (monitor.maxJobs > 0 && loop.jobsEnded() >= monitor.maxJobs) return kSimOk;
    }
    if (monitor.idleExitSeconds > 0 && Clock::now() - lastActivity > idleLimit) {
      std::cout << "no job for " << monitor.idleExitSeconds << " s: stopping" << std::endl;
      return kSimOk;
    }
    ::Sleep(1);
  }
}

// After the command line is read: checks the names given, opens the paper file and the mailbox
// and serves it.
int RunMonitor(SimOptions options, const PrinterOptionTexts& texts, const MonitorOptions& monitor) {
  if (const Expected<void> resolved = ResolvePrinterOptions(texts, options); !resolved) {
    std::cerr << resolved.error() << '\n';
    return kSimUsage;
  }

  NativeFileSystem fs;
  std::ofstream paperFile;
  if (!texts.paperPath.empty()) {
    paperFile.open(texts.paperPath, std::ios::binary | std::ios::app);
    if (!paperFile) {
      std::cerr << "rovant-monitor-sim: paper file " << texts.paperPath << " cannot be opened\n";
      return kSimFailed;
    }
  }
  std::ostream& paper = texts.paperPath.empty() ? std::cerr : paperFile;

  const MailboxNames names = NamesFor(monitor.names);
  Win32MonitorChannel channel(names);
  if (!channel.Map()) {
    std::cerr << "rovant-monitor-sim: the mailbox \"" << names.mapping
              << "\" cannot be opened (error " << ::GetLastError() << ")\n";
    return kSimFailed;
  }
  std::cout << "monitoring " << names.mapping << std::endl;
  if (monitor.holdMutex) return HoldAndWait(channel, monitor.idleExitSeconds);
  return Serve(options, monitor, channel, fs, paper);
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  PrinterOptionTexts texts;
  MonitorOptions monitor;

  front::CommandLine line{kDescription, "rovant-monitor-sim", {.usage = kSimUsage}};
  CLI::App& app = line.app();
  app.footer(kFooter);
  app.set_version_flag("--version", "rovant-monitor-sim " ROVANT_VERSION_TEXT);
  AddPrinterOptions(app, texts, options);
  app.add_option("--fail-exchange", monitor.faults.failExchange,
                 "monitor fault: answer the N-th send or receive (from 1, over the whole run) "
                 "with status 1, as when the port refuses it")
      ->check(CLI::Range(1, 1000000));
  app.add_flag("--silent", monitor.faults.silent, "monitor fault: never answer");
  app.add_flag("--status-3", monitor.faults.strangeStatus,
               "monitor fault: answer every send and receive with status 3");
  app.add_flag("--hold-mutex", monitor.holdMutex,
               "monitor fault: take the mailbox mutex and never release it");
  app.add_option("--max-jobs", monitor.maxJobs, "stop after N jobs (default: run until killed)")
      ->check(CLI::Range(1, 1000000));
  app.add_option("--idle-exit", monitor.idleExitSeconds,
                 "stop when no command came for this many seconds (default: never)")
      ->check(CLI::Range(1, 86400));
  app.add_option("--names", monitor.names,
                 "mailbox object names: local, global (\"Global\\\" prefix) or auto (as the "
                 "setup program chooses on this system; default)")
      ->check(CLI::IsMember({"auto", "local", "global"}));

  line.OnRun(app, [&] { return RunMonitor(options, texts, monitor); });
  return line.Run(argc, argv);
}
