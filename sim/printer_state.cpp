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

LoadedState LoadPrinterState(FileSystem& fs, const std::string& path) {
  LoadedState state;
  // One byte more than a record, so that a longer file shows.
  std::array<std::uint8_t, kSettingFileSize + 1> buffer{};
  const ReadOutcome read = fs.ReadPrefix(path, buffer);
  switch (read.status) {
    case FileStatus::kOk:
      break;
    case FileStatus::kNotFound:
      state.ok = true;
      state.fresh = true;
      state.memory = kFactoryDefaults;
      return state;
    case FileStatus::kReadFailed:
      state.error = Named(path, "cannot be read" + Reason(fs));
      return state;
    default:
      state.error = Named(path, "cannot be opened" + Reason(fs));
      return state;
  }
  const std::size_t count = std::min(read.count, buffer.size());
  if (count != kSettingFileSize) {
    state.error = Named(path, count > kSettingFileSize ? "longer than 87 bytes"
                                                       : std::to_string(count) + " bytes, not 87");
    return state;
  }
  const LoadedSettings loaded = DecodeSettingFile(std::span(buffer).first(count));
  if (loaded.status != LoadStatus::kOk) {
    state.error = Named(path, "values outside their lists:\n" +
                                  ListItemsWithValues(loaded.badItems, loaded.record));
    return state;
  }
  state.ok = true;
  state.memory = loaded.record;
  return state;
}

bool SavePrinterState(FileSystem& fs, const std::string& path, const SettingsRecord& memory,
                      std::string& error) {
  const FileStatus status = WriteSettingFile(fs, path, memory, WritePolicy::kReplace);
  if (status == FileStatus::kOk) return true;
  error =
      Named(path, (status == FileStatus::kReadOnly ? "may not be replaced" : "cannot be written") +
                      Reason(fs));
  return false;
}

}  // namespace rovant::sim
