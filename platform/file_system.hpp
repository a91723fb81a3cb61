// The file system as the setting files use it: whole small files, read from
// the start, written so that a failure never leaves a damaged file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace rovant {

enum class FileStatus {
  kOk,
  kNotFound,       // no such file
  kOpenFailed,     // exists but cannot be opened (locked, no access, a folder)
  kReadFailed,     // opened, then reading failed
  kAlreadyExists,  // a new file was asked for and one exists
  kReadOnly,       // the existing file may not be replaced (read-only, locked, a folder)
  kCreateFailed,   // the file cannot be created there (bad folder, no access)
  kWriteFailed,    // writing or replacing failed; the old file, if any, is unchanged
};

struct ReadOutcome {
  FileStatus status = FileStatus::kOk;
  std::size_t count = 0;  // bytes read into the buffer
};

enum class WritePolicy { kCreateNew, kReplace };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads up to buffer.size() bytes from the start of an existing file (binary, unshared).
  virtual ReadOutcome ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) = 0;
  // Makes `bytes` the whole content of the file (binary). The bytes go to a
  // temporary file in the same folder that then takes the target's place, so
  // any failure leaves the old file, or no file, as it was.
  virtual FileStatus WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                                WritePolicy policy) = 0;
  // The system's own words for why the last call failed ("Permission denied",
  // "No space left on device"); "" when it did not fail or nothing says.
  [[nodiscard]] virtual std::string LastErrorText() const { return {}; }
};

}  // namespace rovant
