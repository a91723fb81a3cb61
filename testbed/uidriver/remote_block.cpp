#include "testbed/uidriver/remote_block.hpp"

namespace rovant::uidriver {

LRESULT SendBounded(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT fallback) {
  DWORD_PTR result = 0;
  if (::SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) ==
      0) {
    return fallback;
  }
  return static_cast<LRESULT>(result);
}

RemoteBlock::RemoteBlock(HWND window, std::size_t size) : size_(size) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  process_.reset(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (process_) {
    address_ =
        ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
}

RemoteBlock::~RemoteBlock() {
  if (address_ != nullptr) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
}

bool RemoteBlock::Write(std::size_t offset, const void* data, std::size_t size) const {
  if (!valid() || offset > size_ || size > size_ - offset) return false;
  SIZE_T written = 0;
  return ::WriteProcessMemory(process_.get(), at(offset), data, size, &written) != FALSE &&
         written == size;
}

bool RemoteBlock::Read(std::size_t offset, void* data, std::size_t size) const {
  if (!valid() || offset > size_ || size > size_ - offset) return false;
  SIZE_T read = 0;
  return ::ReadProcessMemory(process_.get(), at(offset), data, size, &read) != FALSE &&
         read == size;
}

}  // namespace rovant::uidriver
