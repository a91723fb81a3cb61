#include "cli/fleet_records.hpp"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace rovant::cli {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read before threads
  return value == nullptr ? std::string() : std::string(value);
}

std::string Hex(const SettingsRecord& record) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : record) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0f];
  }
  return text;
}

std::string UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string PromLabel(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    if (c == '\n') {
      escaped += "\\n";
      continue;
    }
    escaped += c;
  }
  return escaped;
}

}  // namespace

bool Succeeded(const std::string& result) {
  return result == "read" || result == "unchanged" || result == "applied" || result == "ok";
}

nlohmann::json ResultJson(const PrinterResult& result) {
  nlohmann::json items = nlohmann::json::array();
  for (const fleet::ItemDifference& d : result.items) {
    items.push_back({{"item", ItemKey(d.item)}, {"want", d.want}, {"got", d.got}});
  }
  nlohmann::json json{
      {"name", result.name},
      {"printer", result.printer},
      {"result", result.result},
      {"items", items},
      {"seconds", static_cast<double>(static_cast<long long>(result.seconds * 10)) / 10}};
  if (result.result == "failed") json["reason"] = result.reason;
  return json;
}

bool ReadFailedNames(const std::string& text, const std::string& path, std::set<std::string>& names,
                     std::ostream& err) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const nlohmann::json json = nlohmann::json::parse(line, nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("name") ||
        !json["name"].is_string() || !json.contains("result") || !json["result"].is_string()) {
      err << "rovantctl: " << path << ':' << number
          << ": not a line of 'rovantctl fleet --json' output\n";
      return false;
    }
    if (!Succeeded(json["result"].get<std::string>()))
      names.insert(json["name"].get<std::string>());
  }
  return true;
}

std::string DefaultAuditPath() {
#ifdef _WIN32
  return Env("APPDATA") + "\\Vek\\ROVANT\\audit.jsonl";
#else
  const std::string state = Env("XDG_STATE_HOME");
  if (!state.empty()) return state + "/rovant/audit.jsonl";
  return Env("HOME") + "/.local/state/rovant/audit.jsonl";
#endif
}

Expected<void> AuditLog::Open(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
  out_.open(path, std::ios::binary | std::ios::app);
  if (!out_) return Fail(path + ": the audit log cannot be opened for appending");
  user_ = Env("USER");
  if (user_.empty()) user_ = Env("USERNAME");
#ifdef _WIN32
  host_ = Env("COMPUTERNAME");
#else
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) == 0) host_ = name;
#endif
  return {};
}

bool AuditLog::Ready() {
  const std::lock_guard guard(lock_);
  return out_.is_open() && out_.good();
}

bool AuditLog::Append(const std::string& name, const std::string& printer,
                      const SettingsRecord& before, const SettingsRecord& after,
                      const std::string& result) {
  const std::string line =
      nlohmann::json{{"time", UtcNow()},    {"user", user_},      {"host", host_},
                     {"name", name},        {"printer", printer}, {"before", Hex(before)},
                     {"after", Hex(after)}, {"result", result}}
          .dump() +
      '\n';
  const std::lock_guard guard(lock_);
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  out_.flush();
  return out_.good();
}

std::string MetricsText(const std::vector<PrinterResult>& results, std::int64_t unixSeconds) {
  std::ostringstream text;
  const auto labels = [](const PrinterResult& r) {
    return "{name=\"" + PromLabel(r.name) + "\",printer=\"" + PromLabel(r.printer) + "\"}";
  };
  text << "# HELP rovant_printer_up Whether the printer answered the last check (1) or not (0).\n"
       << "# TYPE rovant_printer_up gauge\n";
  for (const PrinterResult& r : results)
    text << "rovant_printer_up" << labels(r) << ' ' << (r.answered ? 1 : 0) << '\n';
  text << "# HELP rovant_printer_drift_items Items whose value differs from the profile.\n"
       << "# TYPE rovant_printer_drift_items gauge\n";
  for (const PrinterResult& r : results)
    text << "rovant_printer_drift_items" << labels(r) << ' ' << r.items.size() << '\n';
  text
      << "# HELP rovant_printer_check_timestamp_seconds When the printer was checked (Unix time).\n"
      << "# TYPE rovant_printer_check_timestamp_seconds gauge\n";
  for (const PrinterResult& r : results)
    text << "rovant_printer_check_timestamp_seconds" << labels(r) << ' ' << unixSeconds << '\n';
  return text.str();
}

}  // namespace rovant::cli
