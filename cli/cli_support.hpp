// What the rovantctl commands share: exit codes, loading and writing setting
// files with errors that name the file and the item, and the model option.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "base/expected.hpp"
#include "model/model_code.hpp"
#include "model/settings_record.hpp"
#include "platform/file_system.hpp"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace rovant::cli {

enum ExitCode : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Loads a setting file; the reason names the file (and a damaged one's items).
Expected<SettingsRecord> LoadRecord(FileSystem& fs, const std::string& path);

// Writes a record as a whole setting file (replacing an old one).
Expected<void> WriteRecord(FileSystem& fs, const std::string& path, const SettingsRecord& record);

// Writes bytes as a whole file (replacing an old one); on failure any old file stays as it was.
Expected<void> WriteBytes(FileSystem& fs, const std::string& path,
                          std::span<const std::uint8_t> bytes);

// Whether `result` holds a value; without one, says why on `err` as rovantctl's error
// ("rovantctl: REASON").
template <typename T>
bool Reported(const Expected<T>& result, std::ostream& err) {
  if (!result) err << "rovantctl: " << result.error() << '\n';
  return result.has_value();
}

// Adds "--model HX310|HX320|other" (any case), defaulting to HX320.
CLI::Option* AddModelOption(CLI::App& command, ModelCode& model);

// A label between double quotes, so that its blanks show.
std::string Quoted(std::string_view label);

// "\"10 CPI \" -> \"12 CPI \"", with the positions when both labels read the same.
std::string DescribeChange(std::size_t item, const SettingsRecord& before,
                           const SettingsRecord& after, std::string_view arrow);

}  // namespace rovant::cli
