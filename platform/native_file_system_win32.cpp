// Windows files: unshared handles, binary by nature, and a temporary file in
// the same folder that replaces the target (keeping its attributes and
// security) or, for a new file, is moved where no file is.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

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

// A path in the ANSI code page as the full wide path the newer calls take (some take a path
// relative to the current folder for one in the root folder).
std::wstring Wide(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  const DWORD full = ::GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
  if (full == 0) return std::wstring(wide.data());
  std::vector<wchar_t> path(full);
  const DWORD length = ::GetFullPathNameW(wide.data(), full, path.data(), nullptr);
  if (length == 0 || length >= full) return std::wstring(wide.data());
  return std::wstring(path.data(), length);
}

// The old way, for a folder that takes no new file: the bytes are written
// into the file itself, which is then cut to their length.
bool WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
  UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && ::GetFileType(file.get()) == FILE_TYPE_DISK &&
         WriteAll(file.get(), bytes) && ::SetEndOfFile(file.get()) &&
         ::FlushFileBuffers(file.get()) && file.Close();
}

}  // namespace

void NativeFileSystem::Remember(int error) {
  std::array<char, 512> text{};
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       text.data(), static_cast<DWORD>(text.size()), nullptr);
  lastError_.assign(text.data(), length);
  while (!lastError_.empty() && (lastError_.back() == '\n' || lastError_.back() == '\r' ||
                                 lastError_.back() == ' ' || lastError_.back() == '.'))
    lastError_.pop_back();
  if (lastError_.empty()) lastError_ = "system error " + std::to_string(error);
}

ReadOutcome NativeFileSystem::ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) {
  lastError_.clear();
  const UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    Remember(static_cast<int>(error));
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? FileStatus::kNotFound : FileStatus::kOpenFailed, 0};
  }
  // A device name (CON, a printer port) or a pipe would wait for its input:
  // only a file on a disk is read.
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    lastError_ = "a device or a pipe, not a file";
    return {FileStatus::kOpenFailed, 0};
  }
  std::size_t done = 0;
  while (done < buffer.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(buffer.size() - done);
    if (!::ReadFile(file.get(), buffer.data() + done, want, &got, nullptr)) {
      Remember(static_cast<int>(::GetLastError()));
      return {FileStatus::kReadFailed, done};
    }
    if (got == 0) break;
    done += got;
  }
  return {FileStatus::kOk, done};
}

FileStatus NativeFileSystem::WriteWhole(const std::string& path,
                                        std::span<const std::uint8_t> bytes, WritePolicy policy) {
  lastError_.clear();
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists) {
    if (policy == WritePolicy::kCreateNew) return FileStatus::kAlreadyExists;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      lastError_ = "a folder, not a file";
      return FileStatus::kWriteFailed;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      Remember(ERROR_ACCESS_DENIED);
      return FileStatus::kReadOnly;
    }
    // Someone else holding the file open, or no right to write it.
    const UniqueHandle probe(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
      const DWORD error = ::GetLastError();
      Remember(static_cast<int>(error));
      return error == ERROR_ACCESS_DENIED ? FileStatus::kReadOnly : FileStatus::kWriteFailed;
    }
    if (::GetFileType(probe.get()) != FILE_TYPE_DISK) {
      lastError_ = "a device or a pipe, not a file";
      return FileStatus::kWriteFailed;
    }
  }

  std::array<char, MAX_PATH> temp{};
  if (::GetTempFileNameA(FolderOf(path).c_str(), "rov", 0, temp.data()) == 0) {
    const DWORD error = ::GetLastError();
    Remember(static_cast<int>(error));
    if (exists && error == ERROR_ACCESS_DENIED) {
      // The folder takes no new file, the file itself may be written.
      if (WriteInPlace(path, bytes)) return FileStatus::kOk;
      Remember(static_cast<int>(::GetLastError()));
      return FileStatus::kWriteFailed;
    }
    return FileStatus::kCreateFailed;
  }
  UniqueHandle file(::CreateFileA(temp.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    Remember(static_cast<int>(::GetLastError()));
    ::DeleteFileA(temp.data());
    return FileStatus::kCreateFailed;
  }
  bool written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) && file.Close();
  if (written) {
    if (!exists) {
      // A new file never goes over one that appeared meanwhile.
      const DWORD replace = policy == WritePolicy::kReplace ? MOVEFILE_REPLACE_EXISTING : 0;
      written = ::MoveFileExA(temp.data(), path.c_str(), MOVEFILE_WRITE_THROUGH | replace) != FALSE;
    } else {
      // The old file's attributes, security and creation time go to the new one.
      written = ::ReplaceFileW(Wide(path).c_str(), Wide(temp.data()).c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    }
  }
  if (!written) {
    const DWORD error = ::GetLastError();
    Remember(static_cast<int>(error));
    file.Close();
    ::DeleteFileA(temp.data());
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
      return policy == WritePolicy::kCreateNew ? FileStatus::kAlreadyExists
                                               : FileStatus::kWriteFailed;
    }
    return FileStatus::kWriteFailed;
  }
  return FileStatus::kOk;
}

}  // namespace rovant
