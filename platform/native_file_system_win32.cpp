// Windows files: unshared handles, binary by nature, and a temporary file in
// the same folder moved over the target.
#include <windows.h>

#include <array>
#include <string>

#include "platform/native_file_system.hpp"

namespace rovant {
namespace {

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  [[nodiscard]] HANDLE get() const { return handle_; }
  [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const BOOL ok = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE handle_;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done);
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

}  // namespace

ReadOutcome NativeFileSystem::ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) {
  const UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? FileStatus::kNotFound : FileStatus::kOpenFailed, 0};
  }
  std::size_t done = 0;
  while (done < buffer.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(buffer.size() - done);
    if (!::ReadFile(file.get(), buffer.data() + done, want, &got, nullptr))
      return {FileStatus::kReadFailed, done};
    if (got == 0) break;
    done += got;
  }
  return {FileStatus::kOk, done};
}

FileStatus NativeFileSystem::WriteWhole(const std::string& path,
                                        std::span<const std::uint8_t> bytes, WritePolicy policy) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (policy == WritePolicy::kCreateNew) return FileStatus::kAlreadyExists;
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
      return FileStatus::kReadOnly;
    // Someone else holding the file open, or no right to write it.
    const UniqueHandle probe(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) return FileStatus::kReadOnly;
  }

  std::array<char, MAX_PATH> temp{};
  if (::GetTempFileNameA(FolderOf(path).c_str(), "rov", 0, temp.data()) == 0)
    return FileStatus::kCreateFailed;
  UniqueHandle file(::CreateFileA(temp.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    ::DeleteFileA(temp.data());
    return FileStatus::kCreateFailed;
  }
  const bool written =
      WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) && file.Close() &&
      ::MoveFileExA(temp.data(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!written) {
    file.Close();
    ::DeleteFileA(temp.data());
    return FileStatus::kWriteFailed;
  }
  return FileStatus::kOk;
}

}  // namespace rovant
