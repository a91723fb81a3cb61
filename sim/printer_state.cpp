#include "sim/printer_state.hpp"

#include <array>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "model/record_check.hpp"

namespace rovant::sim {
namespace {

static_assert(kSettingFileSize == 87);

std::string Named(const std::string& path, const std::string& what) {
  return "state file " + path + ": " + what;
}

// ": Permission denied": the system's reason for the last failure, when it gave one.
std::string Reason(const FileSystem& fs) {
  const std::string text = fs.LastErrorText();
  return text.empty() ? std::string() : ": " + text;
}

}  // namespace

Expected<SettingsRecord> LoadPrinterState(FileSystem& fs, const std::string& path) {
  // One byte more than a record, so that a longer file shows.
  std::array<std::uint8_t, kSettingFileSize + 1> buffer{};
  const ReadOutcome read = fs.ReadPrefix(path, buffer);
  switch (read.status) {
    case FileStatus::kOk:
      break;
    case FileStatus::kNotFound:
      return kFactoryDefaults;
    case FileStatus::kReadFailed:
      return Fail(Named(path, "cannot be read" + Reason(fs)));
    default:
      return Fail(Named(path, "cannot be opened" + Reason(fs)));
  }
  const std::size_t count = std::min(read.count, buffer.size());
  if (count != kSettingFileSize) {
    return Fail(Named(path, count > kSettingFileSize ? "longer than 87 bytes"
                                                     : std::to_string(count) + " bytes, not 87"));
  }
  const LoadedSettings loaded = DecodeSettingFile(std::span(buffer).first(count));
  if (loaded.status != LoadStatus::kOk) {
    return Fail(Named(path, "values outside their lists:\n" +
                                ListItemsWithValues(loaded.badItems, loaded.record)));
  }
  return loaded.record;
}

Expected<void> SavePrinterState(FileSystem& fs, const std::string& path,
                                const SettingsRecord& memory) {
  const FileStatus status = WriteSettingFile(fs, path, memory, WritePolicy::kReplace);
  if (status == FileStatus::kOk) return {};
  return Fail(
      Named(path, (status == FileStatus::kReadOnly ? "may not be replaced" : "cannot be written") +
                      Reason(fs)));
}

}  // namespace rovant::sim
