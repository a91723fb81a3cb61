// An in-memory file system that records every call and can be told to fail.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.hpp"
#include "tests/fakes/call_log.hpp"

namespace rovant::testing {

class FakeFileSystem final : public FileSystem, Recorder {
 public:
  using Recorder::Recorder;

  ReadOutcome ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) override {
    log_.Add("fs read " + path);
    if (unreadable.contains(path)) return {FileStatus::kReadFailed, 0};
    const auto file = files.find(path);
    if (file == files.end()) return {FileStatus::kNotFound, 0};
    const std::size_t n = std::min(buffer.size(), file->second.size());
    std::copy_n(file->second.begin(), n, buffer.begin());
    return {FileStatus::kOk, n};
  }

  FileStatus WriteWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                        WritePolicy policy) override {
    log_.Add(std::string("fs write ") + (policy == WritePolicy::kCreateNew ? "new " : "replace ") +
             path);
    const bool exists = files.contains(path);
    if (exists && policy == WritePolicy::kCreateNew) return FileStatus::kAlreadyExists;
    if (exists && readOnly.contains(path)) return FileStatus::kReadOnly;
    if (badFolders) return FileStatus::kCreateFailed;
    if (diskFull) return FileStatus::kWriteFailed;
    files[path].assign(bytes.begin(), bytes.end());
    return FileStatus::kOk;
  }

  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> readOnly;
  std::set<std::string> unreadable;
  bool badFolders = false;
  bool diskFull = false;
};

}  // namespace rovant::testing
