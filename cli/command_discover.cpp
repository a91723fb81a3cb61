// rovantctl discover: finding HX310 and HX320 printers on the network by SNMP,
// optionally confirming each with a model-checked read and adding them to an
// inventory. Nothing but SNMP requests goes to a device not identified as ours.
#include <CLI/CLI.hpp>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <mutex>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/printer_job.hpp"
#include "cli/profile_loading.hpp"
#include "discovery/inventory_merge.hpp"
#include "discovery/snmp_query.hpp"
#include "fleet/fleet_runner.hpp"

namespace rovant::cli {
namespace {

constexpr int kDefaultParallel = 256;
constexpr int kDefaultTimeoutMs = 1000;

struct DiscoverOptions {
  std::vector<std::string> ranges;
  std::string community;
  std::string snmpv3;
  int port = 161;
  int parallel = kDefaultParallel;
  int timeoutMs = kDefaultTimeoutMs;
  bool json = false;
  std::string inventoryOut;
  bool confirm = false;
  bool force = false;
};

// USER:AUTH:PRIV, where AUTH and PRIV may be empty (no authentication, no privacy).
bool ParseUser(const std::string& text, discovery::SnmpOptions& snmp) {
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos || first == 0) return false;
  snmp.v3 = true;
  snmp.user = text.substr(0, first);
  snmp.authKey = text.substr(first + 1, second - first - 1);
  snmp.privKey = text.substr(second + 1);
  // The USM keys come from pass phrases of at least eight characters.
  if (!snmp.authKey.empty() && snmp.authKey.size() < 8) return false;
  if (!snmp.privKey.empty() && (snmp.authKey.empty() || snmp.privKey.size() < 8)) return false;
  return true;
}

// The model-checked read of each found printer, many at once.
bool Confirm(FileSystem& fs, std::vector<discovery::FoundPrinter>& found, int parallel) {
  std::mutex lock;
  bool all = true;
  fleet::RunInParallel(
      found.size(), static_cast<std::size_t>(parallel), [](std::size_t) { return std::string(); },
      [&](std::size_t i) {
        discovery::FoundPrinter& printer = found[i];
        PrinterJob job(fs, printer.printer, "", printer.model);
        PrinterJob::Read read = PrinterJob::Read::kFailed;
        if (job.Open()) read = job.ReadSettings(true);
        const bool closed = job.Close();
        const std::lock_guard guard(lock);
        if (read == PrinterJob::Read::kDone && closed) {
          printer.confirm = "confirmed";
        } else {
          printer.confirm = read == PrinterJob::Read::kOtherModel ? "other-model" : "failed";
          printer.reason = job.reason();
          all = false;
        }
      });
  return all;
}

void PrintTable(const std::vector<discovery::FoundPrinter>& found, bool confirmed) {
  std::cout << std::left << std::setw(17) << "ADDRESS" << std::setw(7) << "MODEL" << std::setw(23)
            << "PRINTER";
  if (confirmed) std::cout << std::setw(12) << "CONFIRM";
  std::cout << "DESCRIPTION\n";
  for (const discovery::FoundPrinter& p : found) {
    std::cout << std::left << std::setw(17) << p.address << std::setw(7) << NameOf(p.model)
              << std::setw(23) << p.printer;
    if (confirmed) std::cout << std::setw(12) << p.confirm;
    std::cout << p.description;
    if (!p.reason.empty()) std::cout << " (" << p.reason << ")";
    std::cout << '\n';
  }
}

// Adds the printers to the inventory file (made when there is none).
bool WriteInventory(FileSystem& fs, const std::string& path,
                    const std::vector<discovery::FoundPrinter>& found) {
  std::vector<std::uint8_t> buffer(kYamlFileLimit + 1);
  const ReadOutcome read = fs.ReadPrefix(path, buffer);
  std::optional<std::string> existing;
  if (read.status == FileStatus::kOk) {
    if (read.count > kYamlFileLimit) {
      std::cerr << "rovantctl: " << path << ": the inventory is larger than 1 MiB\n";
      return false;
    }
    existing = std::string(buffer.begin(), buffer.begin() + static_cast<long>(read.count));
  } else if (read.status != FileStatus::kNotFound) {
    std::cerr << "rovantctl: " << path << ": the inventory cannot be read\n";
    return false;
  }
  const Expected<discovery::MergeResult> merged = discovery::MergeIntoInventory(existing, found);
  if (!merged) {
    std::cerr << "rovantctl: " << path << ": " << merged.error()
              << "; the inventory was left as it was\n";
    return false;
  }
  const std::span<const std::uint8_t> bytes(
      reinterpret_cast<const std::uint8_t*>(merged->text.data()), merged->text.size());
  if (!Reported(WriteBytes(fs, path, bytes), std::cerr)) return false;
  std::cerr << "rovantctl: " << path << ": " << merged->added.size() << " added, "
            << merged->kept.size() << " already listed\n";
  return true;
}

int RunDiscover(CommandEnv& env, const DiscoverOptions& options) {
  std::vector<discovery::AddressRange> ranges;
  for (const std::string& text : options.ranges) {
    const Expected<discovery::AddressRange> range = discovery::ParseRange(text, options.force);
    if (!range) {
      std::cerr << "rovantctl: " << range.error() << '\n';
      return kExitUsage;
    }
    ranges.push_back(*range);
  }
  discovery::SnmpOptions snmp;
  if (!options.snmpv3.empty() && !ParseUser(options.snmpv3, snmp)) {
    std::cerr << "rovantctl: --snmpv3 takes USER:AUTH:PRIV, pass phrases of at least 8 "
                 "characters (PRIV only with AUTH; either may be empty)\n";
    return kExitUsage;
  }
  if (!options.community.empty()) snmp.community = options.community;
  snmp.port = static_cast<std::uint16_t>(options.port);
  snmp.parallel = options.parallel;
  snmp.timeoutMs = options.timeoutMs;

  const auto start = std::chrono::steady_clock::now();
  const discovery::QueryOutcome outcome =
      discovery::QueryAgents(discovery::MergeRanges(ranges), snmp);
  if (!outcome.error.empty()) {
    std::cerr << "rovantctl: " << outcome.error << '\n';
    return kExitFailed;
  }
  std::vector<discovery::FoundPrinter> found = discovery::PrintersAmong(outcome.replies);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cerr << "rovantctl: " << outcome.asked << " addresses asked, " << outcome.replies.size()
            << " answered, " << found.size() << " printers found in " << std::fixed
            << std::setprecision(1) << seconds << " s\n";

  int exit = kExitOk;
  if (options.confirm && !Confirm(env.fs, found, options.parallel)) exit = kExitFailed;
  if (options.json) {
    for (const discovery::FoundPrinter& p : found) {
      std::cout << discovery::PrinterJson(p, options.confirm).dump() << '\n';
    }
  } else {
    PrintTable(found, options.confirm);
  }
  if (!options.inventoryOut.empty() && !WriteInventory(env.fs, options.inventoryOut, found)) {
    exit = kExitFailed;
  }
  return exit;
}

}  // namespace

void AddDiscoverCommand(front::CommandLine& line, CommandEnv& env) {
  const auto options = std::make_shared<DiscoverOptions>();
  CLI::App* command = line.app().add_subcommand(
      "discover",
      "Find HX310 and HX320 printers by SNMP (sysDescr and hrDeviceDescr). Only SNMP requests "
      "go to devices not identified as ours. Exit status: 0 success, 1 a confirm read or the "
      "inventory failed, 2 wrong usage.");
  command->add_option("RANGE", options->ranges, "Addresses: A.B.C.D or A.B.C.D/N (at most /16)")
      ->required();
  CLI::Option* community =
      command->add_option("--community", options->community, "SNMPv2c community")
          ->default_str("public");
  command
      ->add_option("--snmpv3", options->snmpv3,
                   "SNMPv3 user and pass phrases USER:AUTH:PRIV (SHA, AES; empty: none)")
      ->excludes(community);
  command->add_option("--port", options->port, "The agents' UDP port")
      ->check(CLI::Range(1, 65535))
      ->default_str("161");
  command
      ->add_option("--parallel", options->parallel,
                   "Requests in flight at once (and confirm reads)")
      ->check(CLI::Range(1, discovery::kMostInFlight))
      ->default_str(std::to_string(kDefaultParallel));
  command
      ->add_option("--timeout", options->timeoutMs,
                   "Milliseconds to wait for each request (sent twice at most)")
      ->check(CLI::Range(10, 60000))
      ->default_str(std::to_string(kDefaultTimeoutMs));
  command->add_flag("--json", options->json, "One JSON object per printer per line");
  command->add_option("--inventory-out", options->inventoryOut,
                      "Add the printers to this inventory (made when missing; listed printers "
                      "keep their entries and names)");
  command->add_flag("--confirm", options->confirm,
                    "Read each printer found (model checked) over tcp://ADDRESS:9100");
  command->add_flag("--force", options->force, "Allow ranges wider than a /16");
  line.OnRun(*command, [&env, options] { return RunDiscover(env, *options); });
}

}  // namespace rovant::cli
