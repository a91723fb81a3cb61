// rovantctl fleet read | apply | check: one action on every printer of an
// inventory, many at once, each through the same operations as one printer.
#include <CLI/CLI.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/fleet_records.hpp"
#include "cli/printer_job.hpp"
#include "cli/profile_loading.hpp"
#include "fleet/fleet_runner.hpp"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rovant::cli {
namespace {

enum class Action { kRead, kApply, kCheck };

constexpr int kDefaultParallel = 256;
constexpr double kDefaultTimeout = 120;

struct FleetOptions {
  std::string inventory;
  std::string profile;
  std::string group;
  std::string out;
  std::string onlyFailed;
  std::string metrics;
  std::string audit;
  int parallel = kDefaultParallel;
  double timeout = kDefaultTimeout;
  bool json = false;
  bool dryRun = false;
};

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return ::isatty(STDERR_FILENO) != 0;
#endif
}

std::string ProblemsText(const std::vector<fleet::ProfileProblem>& problems) {
  std::string text;
  for (const fleet::ProfileProblem& p : problems) {
    if (!text.empty()) text += "; ";
    text += p.reason;
  }
  return text;
}

// What one printer's turn needs besides its own state.
struct Shared {
  FileSystem& fs;
  const FleetOptions& options;
  Action action;
  const fleet::Profile* profile;
  AuditLog* audit;
};

PrinterResult Failed(PrinterResult result, PrinterJob& job, const std::string& before) {
  job.Close();
  result.result = "failed";
  result.reason =
      before.empty() ? job.reason() : before + (job.reason().empty() ? "" : "; " + job.reason());
  return result;
}

// One printer's turn: read, then compare or write as the action asks.
PrinterResult Work(const Shared& shared, const fleet::InventoryPrinter& printer) {
  PrinterResult result;
  result.name = printer.name;
  result.printer = printer.printer;
  PrinterJob job(shared.fs, printer.printer, printer.state, printer.model);
  if (!job.Open()) return Failed(result, job, "");
  const PrinterJob::Read read = job.ReadSettings(true);
  result.answered = read != PrinterJob::Read::kFailed;
  if (read != PrinterJob::Read::kDone) return Failed(result, job, "");
  const SettingsRecord before = job.settings();
  const ModelCode model = job.model();

  if (shared.action == Action::kRead) {
    if (!shared.options.out.empty()) {
      const Expected<void> saved =
          WriteRecord(shared.fs, shared.options.out + "/" + printer.name + ".fom", before);
      if (!saved) return Failed(result, job, saved.error());
    }
    result.result = job.Close() ? "read" : "failed";
    result.reason = job.reason();
    return result;
  }

  SettingsRecord want = before;
  const std::vector<fleet::ProfileProblem> problems = fleet::ApplyProfile(*shared.profile, want);
  if (!problems.empty())
    return Failed(result, job, "the profile does not fit: " + ProblemsText(problems));
  result.items = fleet::Differences(want, before, model);
  if (shared.action == Action::kCheck ||
      (shared.action == Action::kApply && shared.options.dryRun)) {
    result.result =
        result.items.empty() ? (shared.action == Action::kCheck ? "ok" : "unchanged") : "drift";
    if (!job.Close()) return Failed(result, job, "");
    return result;
  }
  if (result.items.empty()) {
    result.result = "unchanged";
    if (!job.Close()) return Failed(result, job, "");
    return result;
  }
  if (!shared.audit->Ready()) {
    result.items.clear();
    return Failed(result, job, "the audit log cannot be written: nothing was sent");
  }
  const bool sent = job.Transfer(want);
  const bool readBack = sent && job.ReadSettings(false) == PrinterJob::Read::kDone;
  if (readBack) {
    result.items = fleet::Differences(want, job.settings(), model);
    result.result = result.items.empty() ? "applied" : "differs";
  }
  if (!shared.audit->Append(printer.name, printer.printer, before, want,
                            readBack ? result.result : "failed")) {
    return Failed(result, job, "the transfer was made but the audit log could not be written");
  }
  if (!readBack) {
    result.items.clear();
    return Failed(result, job, sent ? "the settings were sent but could not be read back" : "");
  }
  if (!job.Close()) return Failed(result, job, "");
  return result;
}

// Each printer's slot: what its turn found, or that it ran out of time.
struct Slots {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<PrinterResult> results;
  std::vector<int> state;  // 0 waiting, 1 running, 2 finished
  std::vector<std::chrono::steady_clock::time_point> started;
  std::size_t finished = 0;
  std::size_t failed = 0;
  bool runnerDone = false;
};

void PrintTable(const std::vector<PrinterResult>& results) {
  std::size_t width = 4;
  for (const PrinterResult& r : results) width = std::max(width, r.name.size());
  std::cout << std::left << std::setw(static_cast<int>(width) + 2) << "NAME" << std::setw(11)
            << "RESULT" << std::setw(9) << "SECONDS"
            << "DETAIL\n";
  for (const PrinterResult& r : results) {
    std::ostringstream seconds;
    seconds << std::fixed << std::setprecision(1) << r.seconds;
    std::string detail = r.result == "failed" ? r.reason : std::string();
    for (const fleet::ItemDifference& d : r.items) {
      if (!detail.empty()) detail += ", ";
      detail += ItemKey(d.item) + " want " + Quoted(d.want) + " got " + Quoted(d.got);
    }
    std::cout << std::left << std::setw(static_cast<int>(width) + 2) << r.name << std::setw(11)
              << r.result << std::setw(9) << seconds.str() << detail << '\n';
  }
}

int RunFleet(CommandEnv& env, const FleetOptions& options, Action action) {
  std::optional<fleet::Inventory> inventory = LoadInventory(env.fs, options.inventory, std::cerr);
  if (!inventory) return kExitUsage;
  std::optional<fleet::Profile> profile;
  if (action != Action::kRead) {
    profile = LoadProfile(env.fs, options.profile, std::cerr);
    if (!profile) return kExitUsage;
  }
  std::vector<fleet::InventoryPrinter> printers;
  std::set<std::string> rerun;
  if (!options.onlyFailed.empty()) {
    const Expected<std::string> text = ReadTextFile(env.fs, options.onlyFailed);
    if (!Reported(text, std::cerr) || !ReadFailedNames(*text, options.onlyFailed, rerun, std::cerr))
      return kExitUsage;
  }
  for (fleet::InventoryPrinter& p : inventory->printers) {
    if (!options.group.empty() &&
        std::find(p.groups.begin(), p.groups.end(), options.group) == p.groups.end())
      continue;
    if (!options.onlyFailed.empty() && rerun.count(p.name) == 0) continue;
    printers.push_back(std::move(p));
  }
  if (printers.empty() && !options.group.empty() && options.onlyFailed.empty()) {
    std::cerr << "rovantctl: " << options.inventory << ": no printer is in the group \""
              << options.group << "\"\n";
    return kExitUsage;
  }
  if (!options.out.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.out, error);
  }
  AuditLog audit;
  if (action == Action::kApply && !options.dryRun && !printers.empty()) {
    const Expected<void> opened =
        audit.Open(options.audit.empty() ? DefaultAuditPath() : options.audit);
    if (!opened) {
      std::cerr << "rovantctl: " << opened.error() << "; nothing was sent\n";
      return kExitFailed;
    }
  }

  const Shared shared{env.fs, options, action, profile ? &*profile : nullptr, &audit};
  auto slots = std::make_shared<Slots>();
  slots->results.resize(printers.size());
  slots->state.assign(printers.size(), 0);
  slots->started.resize(printers.size());
  std::thread runner([slots, &shared, &printers, &options] {
    fleet::RunInParallel(
        printers.size(), static_cast<std::size_t>(options.parallel),
        [&printers](std::size_t i) -> std::string {
          const Expected<PrinterAddress> address = ParsePrinterAddress(printers[i].printer);
          // The spooler's reply mailbox and the LAN library take one exchange at a time.
          if (address && address->kind == PrinterKind::kSpooler) return "spooler";
          if (address && address->kind == PrinterKind::kLan) return "lan";
          return {};
        },
        [slots, &shared, &printers](std::size_t i) {
          const auto start = std::chrono::steady_clock::now();
          {
            const std::lock_guard guard(slots->lock);
            if (slots->state[i] == 2) return;
            slots->state[i] = 1;
            slots->started[i] = start;
          }
          PrinterResult result = Work(shared, printers[i]);
          result.seconds =
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
          const std::lock_guard guard(slots->lock);
          if (slots->state[i] == 2) return;  // already given up on
          slots->state[i] = 2;
          if (!Succeeded(result.result)) ++slots->failed;
          slots->results[i] = std::move(result);
          ++slots->finished;
          slots->changed.notify_all();
        });
    const std::lock_guard guard(slots->lock);
    slots->runnerDone = true;
    slots->changed.notify_all();
  });

  const bool progress = StderrIsTerminal();
  {
    std::unique_lock guard(slots->lock);
    while (slots->finished < printers.size()) {
      slots->changed.wait_for(guard, std::chrono::milliseconds(200));
      const auto now = std::chrono::steady_clock::now();
      for (std::size_t i = 0; i < printers.size(); ++i) {
        if (slots->state[i] != 1 ||
            std::chrono::duration<double>(now - slots->started[i]).count() < options.timeout)
          continue;
        PrinterResult& r = slots->results[i];
        r.name = printers[i].name;
        r.printer = printers[i].printer;
        r.reason = "no result within " + std::to_string(static_cast<int>(options.timeout)) + " s";
        r.seconds = options.timeout;
        slots->state[i] = 2;
        ++slots->failed;
        ++slots->finished;
      }
      if (progress) {
        std::cerr << "\rrovantctl: " << slots->finished << " done, " << slots->failed << " failed, "
                  << printers.size() - slots->finished << " remaining  " << std::flush;
      }
    }
  }
  if (progress) std::cerr << '\n';

  int exit = kExitOk;
  for (const PrinterResult& r : slots->results) {
    if (!Succeeded(r.result)) exit = kExitFailed;
  }
  if (options.json) {
    for (const PrinterResult& r : slots->results) std::cout << ResultJson(r).dump() << '\n';
  } else {
    PrintTable(slots->results);
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "rovantctl: the results could not be written to standard output\n";
    exit = kExitFailed;
  }
  if (!options.metrics.empty()) {
    const std::string text =
        MetricsText(slots->results, std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count());
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    if (!Reported(WriteBytes(env.fs, options.metrics, bytes), std::cerr)) exit = kExitFailed;
  }
  bool runnerDone = false;
  {
    const std::lock_guard guard(slots->lock);
    runnerDone = slots->runnerDone;
  }
  if (!runnerDone) {
    // A printer that hangs holds only its own thread; the run does not wait for it.
    std::cerr.flush();
    std::_Exit(exit);
  }
  runner.join();
  return exit;
}

CLI::App* AddFleetAction(front::CommandLine& line, CLI::App& fleet, CommandEnv& env,
                         const char* name, const char* description, Action action,
                         const std::shared_ptr<FleetOptions>& options) {
  CLI::App* command = fleet.add_subcommand(name, description);
  command->add_option("--inventory", options->inventory, "The inventory (YAML) of printers")
      ->required();
  if (action != Action::kRead) {
    command->add_option("PROFILE", options->profile, "Profile (.yaml) or setting file (.fom)")
        ->required();
  }
  command->add_option("--group", options->group, "Only the printers of this group");
  command
      ->add_option("--parallel", options->parallel,
                   "Printers worked on at once (printers behind the Windows spooler or the LAN "
                   "library go one at a time)")
      ->check(CLI::Range(1, 4096))
      ->default_str(std::to_string(kDefaultParallel));
  command
      ->add_option("--timeout", options->timeout,
                   "Seconds a printer may take before it is reported as failed")
      ->check(CLI::Range(1.0, 86400.0))
      ->default_str("120");
  command->add_flag("--json", options->json,
                    "One JSON object per printer per line instead of a table");
  command->add_option("--only-failed", options->onlyFailed,
                      "Only the printers that did not succeed in this earlier --json output");
  command->add_option("--metrics", options->metrics,
                      "Also write the results in Prometheus' text format to this file "
                      "(for node_exporter's textfile collector)");
  line.OnRun(*command, [&env, options, action] { return RunFleet(env, *options, action); });
  return command;
}

}  // namespace

void AddFleetCommand(front::CommandLine& line, CommandEnv& env) {
  CLI::App* fleet = line.app().add_subcommand(
      "fleet",
      "One action on every printer of an inventory, many at once. Exit status: 0 every printer "
      "succeeded, 1 any failed, differs or drifts, 2 wrong usage or a bad inventory or profile.");
  fleet->require_subcommand(1);
  const auto readOptions = std::make_shared<FleetOptions>();
  CLI::App* read =
      AddFleetAction(line, *fleet, env, "read",
                     "Read every printer (model checked); with --out save DIR/NAME.fom.",
                     Action::kRead, readOptions);
  read->add_option("--out", readOptions->out, "Folder for the settings read, one NAME.fom each");

  const auto applyOptions = std::make_shared<FleetOptions>();
  CLI::App* apply = AddFleetAction(
      line, *fleet, env, "apply",
      "Read every printer, send what the profile changes, read it back and compare every sent "
      "item: unchanged (nothing sent), applied, or differs with the items.",
      Action::kApply, applyOptions);
  apply->add_flag("--dry-run", applyOptions->dryRun,
                  "Read and report what would change (drift), sending nothing");
  apply->add_option("--audit", applyOptions->audit,
                    "Append a line for every write to this file (default: "
                    "$XDG_STATE_HOME/rovant/audit.jsonl, on Windows the settings folder)");

  const auto checkOptions = std::make_shared<FleetOptions>();
  AddFleetAction(line, *fleet, env, "check",
                 "Read every printer and compare with the profile: ok, or drift with each "
                 "differing item.",
                 Action::kCheck, checkOptions);
}

}  // namespace rovant::cli
