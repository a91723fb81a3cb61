#include "platform/win32/named_objects.hpp"

namespace rovant::win32 {

bool NamedMutex::Open(const std::string& name) {
  handle_.reset(::CreateMutexA(nullptr, FALSE, name.c_str()));
  return open();
}

MutexWait NamedMutex::Wait(unsigned milliseconds) {
  switch (::WaitForSingleObject(handle_.get(), milliseconds)) {
    case WAIT_OBJECT_0:
      return MutexWait::kAcquired;
    case WAIT_ABANDONED:
      return MutexWait::kAbandoned;
    case WAIT_TIMEOUT:
      return MutexWait::kTimedOut;
    default:
      return MutexWait::kFailed;
  }
}

void NamedMutex::Release() { ::ReleaseMutex(handle_.get()); }

MutexLock::MutexLock(NamedMutex& mutex, unsigned milliseconds) : mutex_(mutex) {
  if (!mutex_.open()) return;
  const MutexWait wait = mutex_.Wait(milliseconds);
  held_ = wait == MutexWait::kAcquired || wait == MutexWait::kAbandoned;
}

MutexLock::~MutexLock() {
  if (held_) mutex_.Release();
}

bool FileMapping::Open(const std::string& name, std::size_t size) {
  Close();
  mapping_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), name.c_str()));
  if (!mapping_) return false;
  view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, size));
  if (!view_) {
    mapping_.reset();
    return false;
  }
  size_ = size;
  return true;
}

void FileMapping::Close() {
  view_.reset();
  mapping_.reset();
  size_ = 0;
}

std::span<std::uint8_t> FileMapping::bytes() const {
  if (!view_) return {};
  return {static_cast<std::uint8_t*>(view_.get()), size_};
}

}  // namespace rovant::win32
