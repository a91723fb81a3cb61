#include "sim/win32_monitor_channel.hpp"

#include <windows.h>

#include <cstring>

namespace rovant::sim {
namespace {

// The named mutex for one copy: created, waited for, released and closed.
class MutexHold {
 public:
  explicit MutexHold(const std::string& name)
      : handle_(::CreateMutexA(nullptr, FALSE, name.c_str())) {
    if (handle_ == nullptr) return;
    const DWORD wait = ::WaitForSingleObject(handle_, kMonitorLockWaitMs);
    // An abandoned mutex (the program ended while it held it) is ours now.
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~MutexHold() {
    if (held_) ::ReleaseMutex(handle_);
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;
  [[nodiscard]] bool held() const { return held_; }

 private:
  HANDLE handle_;
  bool held_ = false;
};

}  // namespace

Win32MonitorChannel::~Win32MonitorChannel() {
  if (heldMutex_ != nullptr) {
    ::ReleaseMutex(heldMutex_);
    ::CloseHandle(heldMutex_);
  }
  if (view_ != nullptr) ::UnmapViewOfFile(view_);
  if (mapping_ != nullptr) ::CloseHandle(mapping_);
}

bool Win32MonitorChannel::Map() {
  if (view_ != nullptr) return true;
  mapping_ = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  static_cast<DWORD>(kMailboxBlockSize), names_.mapping.c_str());
  if (mapping_ == nullptr) return false;
  view_ = ::MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, kMailboxBlockSize);
  if (view_ != nullptr) return true;
  ::CloseHandle(mapping_);
  mapping_ = nullptr;
  return false;
}

bool Win32MonitorChannel::Copy(void* to, const void* from) {
  if (view_ == nullptr) return false;
  const MutexHold hold(names_.mutex);
  if (!hold.held()) return false;
  std::memcpy(to, from, kMailboxBlockSize);
  return true;
}

bool Win32MonitorChannel::CopyOut(MailboxBlock& block) { return Copy(block.bytes().data(), view_); }

bool Win32MonitorChannel::CopyIn(const MailboxBlock& block) {
  return Copy(view_, block.bytes().data());
}

bool Win32MonitorChannel::HoldLock() {
  if (heldMutex_ != nullptr) return true;
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, names_.mutex.c_str());
  if (mutex == nullptr) return false;
  const DWORD wait = ::WaitForSingleObject(mutex, 10 * kMonitorLockWaitMs);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    ::CloseHandle(mutex);
    return false;
  }
  heldMutex_ = mutex;
  return true;
}

}  // namespace rovant::sim
