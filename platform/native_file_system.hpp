// The file system of the machine the program runs on.
#pragma once

#include <string>

#include "platform/file_system.hpp"

namespace rovant {

class NativeFileSystem final : public FileSystem {
 public:
  ReadOutcome ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) override;
  FileStatus WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                        WritePolicy policy) override;
  [[nodiscard]] std::string LastErrorText() const override { return lastError_; }

 private:
  void Remember(int error);

  std::string lastError_;
};

}  // namespace rovant
