// POSIX files: open/read/write with a temporary file renamed over the target.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

// The longest chain of symbolic links followed to the file they name.
constexpr int kLinkHops = 40;

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
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

// What a file that is not a regular one is, for the user.
std::string KindText(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder, not a file";
  if (S_ISFIFO(mode)) return "a named pipe (FIFO), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
  if (S_ISSOCK(mode)) return "a socket, not a regular file";
  return "not a regular file";
}

// The file a path names once its symbolic links are followed (the path
// itself when it is no link); false with errno set on a loop or an error.
bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hop = 0; hop < kLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::array<char, 4096> link{};
    const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
    if (length < 0) return false;
    if (static_cast<std::size_t>(length) >= link.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string next(link.data(), static_cast<std::size_t>(length));
    target = next.starts_with('/') ? next : FolderOf(target) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

// The old way, for a folder that takes no new file: the bytes are written
// into the file itself, which is then cut to their length.
bool WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) return false;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) {
    errno = EINVAL;
    return false;
  }
  return WriteAll(fd.get(), bytes) &&
         ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd.get()) == 0 &&
         fd.Close();
}

// Puts the finished temporary file at `target`: over an old file, or only
// where none is (an atomic no-replace rename, or a hard link where the file
// system has no such rename). False with errno set (EEXIST: one appeared).
bool PutInPlace(const std::string& temp, const std::string& target, WritePolicy policy) {
  if (policy == WritePolicy::kReplace) return ::rename(temp.c_str(), target.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  if (::link(temp.c_str(), target.c_str()) != 0) return false;
  ::unlink(temp.c_str());
  return true;
}

}  // namespace

void NativeFileSystem::Remember(int error) { lastError_ = std::strerror(error); }

ReadOutcome NativeFileSystem::ReadPrefix(const std::string& path, std::span<std::uint8_t> buffer) {
  lastError_.clear();
  // Never blocking: a named pipe or a device named instead of a file is
  // refused below rather than waited on.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) {
    const int error = errno;
    Remember(error);
    return {error == ENOENT ? FileStatus::kNotFound : FileStatus::kOpenFailed, 0};
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    Remember(errno);
    return {FileStatus::kOpenFailed, 0};
  }
  if (!S_ISREG(info.st_mode)) {
    lastError_ = KindText(info.st_mode);
    return {FileStatus::kOpenFailed, 0};
  }
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::read(fd.get(), buffer.data() + done, buffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Remember(errno);
      return {FileStatus::kReadFailed, done};
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return {FileStatus::kOk, done};
}

FileStatus NativeFileSystem::WriteWhole(const std::string& path,
                                        std::span<const std::uint8_t> bytes, WritePolicy policy) {
  lastError_.clear();
  if (path.empty()) {
    Remember(ENOENT);
    return FileStatus::kCreateFailed;
  }
  struct stat named {};
  if (::lstat(path.c_str(), &named) == 0 && policy == WritePolicy::kCreateNew)
    return FileStatus::kAlreadyExists;
  // A symbolic link stays: the file it names is replaced.
  std::string target;
  if (!FollowLinks(path, target)) {
    Remember(errno);
    return FileStatus::kWriteFailed;
  }
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  mode_t mode = 0666;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) {
      lastError_ = KindText(existing.st_mode);
      return FileStatus::kWriteFailed;
    }
    // Like the read-only attribute elsewhere: a file nobody may write to is
    // not replaced, even by a user whose rights would allow it.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      Remember(EACCES);
      return FileStatus::kReadOnly;
    }
    const UniqueFd probe(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!probe.valid()) {
      const int error = errno;
      Remember(error);
      return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY
                 ? FileStatus::kReadOnly
                 : FileStatus::kWriteFailed;
    }
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }

  // A short name of its own, so that a target name near the longest allowed still has one.
  std::string temp = FolderOf(target) + "/.rovant-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  UniqueFd fd(::mkstemp(name.data()));
  if (!fd.valid()) {
    const int error = errno;
    Remember(error);
    if (exists && (error == EACCES || error == EPERM)) {
      // The folder takes no new file, the file itself may be written.
      if (WriteInPlace(target, bytes)) return FileStatus::kOk;
      Remember(errno);
      return FileStatus::kWriteFailed;
    }
    return FileStatus::kCreateFailed;
  }
  temp.assign(name.data());

  bool written = ::fchmod(fd.get(), mode) == 0;
  // The old file's owner too, where the system allows it (mostly for root).
  if (written && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
      // Not allowed: the new file keeps this user as its owner.
    }
  }
  written = written && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.Close() &&
            PutInPlace(temp, target, policy);
  if (!written) {
    const int error = errno;
    Remember(error);
    ::unlink(temp.c_str());
    return error == EEXIST && policy == WritePolicy::kCreateNew ? FileStatus::kAlreadyExists
                                                                : FileStatus::kWriteFailed;
  }
  // Make the new name itself durable.
  const UniqueFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.valid()) ::fsync(folder.get());
  return FileStatus::kOk;
}

}  // namespace rovant
