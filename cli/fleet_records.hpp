// What a fleet run leaves behind: one JSON line per printer, the audit log of
// every write, and the metrics file for node_exporter's textfile collector.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "base/expected.hpp"
#include "fleet/profile.hpp"
#include "model/settings_record.hpp"
#include "platform/file_system.hpp"

namespace rovant::cli {

struct PrinterResult {
  std::string name;
  std::string printer;
  std::string result = "failed";  // read, unchanged, applied, differs, ok, drift, failed
  std::vector<fleet::ItemDifference> items;
  std::string reason;
  double seconds = 0;
  bool answered = false;  // the printer's settings were read
};

// Whether a result counts as success for the exit status and --only-failed.
bool Succeeded(const std::string& result);

nlohmann::json ResultJson(const PrinterResult& result);

// The names of the printers that did not succeed in an earlier run's output;
// false (reported) when a line is not one of its objects.
bool ReadFailedNames(const std::string& text, const std::string& path, std::set<std::string>& names,
                     std::ostream& err);

// The default audit log: $XDG_STATE_HOME/rovant/audit.jsonl (~/.local/state on
// Linux without it), the settings folder %APPDATA%\Vek\ROVANT on Windows.
std::string DefaultAuditPath();

// The append-only log of every write. Opened before any printer is touched;
// each line is written and flushed as one piece, under a lock.
class AuditLog {
 public:
  // Opens for appending (making its folder).
  Expected<void> Open(const std::string& path);
  // Whether a write can be logged now.
  bool Ready();
  // One line: time, user, host, printer, records before and after, result.
  bool Append(const std::string& name, const std::string& printer, const SettingsRecord& before,
              const SettingsRecord& after, const std::string& result);

 private:
  std::mutex lock_;
  std::ofstream out_;
  std::string user_;
  std::string host_;
};

// Prometheus text: per printer whether it answered, its drifting items, and
// the time of the check; written to a temporary file and renamed.
std::string MetricsText(const std::vector<PrinterResult>& results, std::int64_t unixSeconds);

}  // namespace rovant::cli
