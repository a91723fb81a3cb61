// The named kernel objects two processes share: a mutex, and a page-file-backed
// block of memory with its view.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/win32/unique_handle.hpp"

namespace rovant::win32 {

enum class MutexWait { kAcquired, kAbandoned, kTimedOut, kFailed };

class NamedMutex {
 public:
  // Creates the mutex `name`, or opens it when it exists, not owned; false
  // when neither can be done. Any mutex held open before is closed first.
  bool Open(const std::string& name);
  void Close() { handle_.reset(); }
  [[nodiscard]] bool open() const { return static_cast<bool>(handle_); }

  // Waits at most `milliseconds` for ownership.
  MutexWait Wait(unsigned milliseconds);
  void Release();

 private:
  UniqueKernelHandle handle_;
};

// Owns the mutex for one scope. An abandoned mutex (its holder ended while it
// held it) is taken over: that counts as held.
class MutexLock {
 public:
  MutexLock(NamedMutex& mutex, unsigned milliseconds);
  ~MutexLock();
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  [[nodiscard]] bool held() const { return held_; }

 private:
  NamedMutex& mutex_;
  bool held_ = false;
};

// A named block of shared memory backed by the page file, mapped whole.
class FileMapping {
 public:
  // Creates the block `name` of `size` bytes (or opens it when another process
  // was first) and maps it; false, keeping nothing, when either fails.
  bool Open(const std::string& name, std::size_t size);
  // Unmaps the view, then closes the mapping.
  void Close();
  // The mapped bytes; empty when not open.
  [[nodiscard]] std::span<std::uint8_t> bytes() const;

 private:
  // In this order, so that the view goes before its mapping.
  UniqueKernelHandle mapping_;
  UniqueMappedView view_;
  std::size_t size_ = 0;
};

}  // namespace rovant::win32
