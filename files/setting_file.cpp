#include "files/setting_file.hpp"

#include <algorithm>
#include <array>

#include "model/catalogue.hpp"
#include "model/record_check.hpp"

namespace rovant {

LoadedSettings DecodeSettingFile(std::span<const std::uint8_t> bytes) {
  LoadedSettings result;
  result.size = std::min(bytes.size(), kSettingFileSize);
  if (bytes.empty()) {
    result.status = LoadStatus::kEmpty;
    return result;
  }
  if (bytes.size() < kSettingFileSize) {
    result.status = LoadStatus::kShort;
    return result;
  }
  std::copy_n(bytes.begin(), kSettingFileSize, result.record.begin());
  result.badItems = ItemsOutOfList(result.record);
  result.status = result.badItems.empty() ? LoadStatus::kOk : LoadStatus::kOutOfList;
  return result;
}

LoadedSettings LoadSettingFile(FileSystem& fs, const std::string& path) {
  std::array<std::uint8_t, kSettingFileSize> buffer{};
  const ReadOutcome read = fs.ReadPrefix(path, buffer);
  LoadedSettings result;
  switch (read.status) {
    case FileStatus::kOk:
      return DecodeSettingFile(std::span(buffer).first(std::min(read.count, buffer.size())));
    case FileStatus::kNotFound:
      result.status = LoadStatus::kNotFound;
      break;
    case FileStatus::kReadFailed:
      result.status = LoadStatus::kReadFailed;
      break;
    default:
      result.status = LoadStatus::kOpenFailed;
      break;
  }
  return result;
}

FileStatus WriteSettingFile(FileSystem& fs, const std::string& path, const SettingsRecord& record,
                            WritePolicy policy) {
  return fs.WriteWhole(path, record, policy);
}

}  // namespace rovant
