// Setting files (".fom") and the working copy: exactly the 87 bytes of a
// settings record, no header, no trailer.
#pragma once

#include <span>
#include <string>

#include "model/item_list.hpp"
#include "model/record_check.hpp"
#include "model/settings_record.hpp"
#include "platform/file_system.hpp"

namespace rovant {

inline constexpr std::size_t kSettingFileSize = kItemCount;

enum class LoadStatus {
  kOk,
  kNotFound,    // missing
  kOpenFailed,  // exists but cannot be opened
  kReadFailed,  // reading failed after opening
  kEmpty,       // no byte
  kShort,       // 1 to 86 bytes
  kOutOfList,   // bytes outside the lists in force (see `badItems`)
};

struct LoadedSettings {
  LoadStatus status = LoadStatus::kOk;
  SettingsRecord record{};  // the bytes read, with kOk and kOutOfList
  std::size_t size = 0;     // bytes read, at most 87
  ItemList badItems;        // with kOutOfList, in record order
};

// Checks file bytes as a record: at least 87 bytes (the first 87 are taken),
// every byte inside its item's list in force.
LoadedSettings DecodeSettingFile(std::span<const std::uint8_t> bytes);

// Reads and checks a setting file.
LoadedSettings LoadSettingFile(FileSystem& fs, const std::string& path);

// Writes the record as the whole file, never leaving a damaged file behind.
FileStatus WriteSettingFile(FileSystem& fs, const std::string& path, const SettingsRecord& record,
                            WritePolicy policy);

}  // namespace rovant
