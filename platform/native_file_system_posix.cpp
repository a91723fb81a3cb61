// POSIX files: open/read/write with a temporary file renamed over the target.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/native_file_system.hpp"

namespace rovant {
namespace {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  bool Close() {
    if (fd_ < 0) return true;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Like the read-only attribute elsewhere: a file nobody may write to is not
// replaced, even by a user whose rights would allow it.
bool IsWriteProtected(const std::string& path, const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return true;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  const UniqueFd probe(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
  return !probe.valid();
}

}  // namespace

ReadOutcome NativeFileSystem::ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return {errno == ENOENT ? FileStatus::kNotFound : FileStatus::kOpenFailed, 0};
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {FileStatus::kOpenFailed, 0};
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::read(fd.get(), buffer.data() + done, buffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {FileStatus::kReadFailed, done};
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return {FileStatus::kOk, done};
}

FileStatus NativeFileSystem::WriteWhole(const std::string& path,
                                        std::span<const std::uint8_t> bytes, WritePolicy policy) {
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0;
  mode_t mode = 0666;
  if (exists) {
    if (policy == WritePolicy::kCreateNew) return FileStatus::kAlreadyExists;
    if (IsWriteProtected(path, existing)) return FileStatus::kReadOnly;
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }

  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  UniqueFd fd(::mkstemp(name.data()));
  if (!fd.valid()) return FileStatus::kCreateFailed;
  temp.assign(name.data());

  const bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) &&
                       ::fsync(fd.get()) == 0 && fd.Close() &&
                       ::rename(temp.c_str(), path.c_str()) == 0;
  if (!written) {
    ::unlink(temp.c_str());
    return FileStatus::kWriteFailed;
  }
  // Make the new name itself durable.
  const UniqueFd folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.valid()) ::fsync(folder.get());
  return FileStatus::kOk;
}

}  // namespace rovant
