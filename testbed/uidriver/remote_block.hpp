// Talking to controls of another process: messages sent with a bound, and blocks of memory
// placed in the control's owner process for the messages that carry a pointer (list view and
// tree view items and their text buffers).
#pragma once

#include <windows.h>

#include <cstddef>

#include "platform/win32/unique_handle.hpp"

namespace rovant::uidriver {

inline constexpr UINT kMessageTimeoutMs = 2000;

// SendMessage with a bound: `fallback` when the window does not answer in time.
LRESULT SendBounded(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT fallback);

// A block of `size` bytes in the owner process of `window`, freed when done. Reads and writes
// outside the block are refused.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, std::size_t size);
  ~RemoteBlock();
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  [[nodiscard]] bool valid() const { return address_ != nullptr; }
  // The address of `offset` in the other process (to be put into a message, never used here).
  [[nodiscard]] std::byte* at(std::size_t offset) const {
    return static_cast<std::byte*>(address_) + offset;
  }
  bool Write(std::size_t offset, const void* data, std::size_t size) const;
  bool Read(std::size_t offset, void* data, std::size_t size) const;

 private:
  win32::UniqueKernelHandle process_;
  void* address_ = nullptr;
  std::size_t size_;
};

}  // namespace rovant::uidriver
