// Owners of the handles the program's services open: kernel objects, loaded
// modules, registry keys, windows and window timers.
#pragma once

#include <windows.h>

#include <utility>

namespace rovant::ui {

// A handle closed by `Close`, empty when equal to `Empty`.
template <typename Handle, auto Close, auto Empty = nullptr>
class UniqueHandleOf {
 public:
  UniqueHandleOf() = default;
  explicit UniqueHandleOf(Handle handle) : handle_(handle) {}
  ~UniqueHandleOf() { reset(); }
  UniqueHandleOf(const UniqueHandleOf&) = delete;
  UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
  UniqueHandleOf(UniqueHandleOf&& other) noexcept : handle_(other.release()) {}
  UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  void reset(Handle handle = Handle(Empty)) {
    if (handle_ != Handle(Empty)) Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Handle(Empty)); }
  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(Empty); }

 private:
  Handle handle_ = Handle(Empty);
};

namespace detail {
inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }
inline void UnloadModule(HMODULE module) { ::FreeLibrary(module); }
inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void DestroyOwnedWindow(HWND window) {
  if (::IsWindow(window)) ::DestroyWindow(window);
}
}  // namespace detail

using UniqueKernelHandle = UniqueHandleOf<HANDLE, detail::CloseKernelHandle>;
using UniqueModule = UniqueHandleOf<HMODULE, detail::UnloadModule>;
using UniqueKey = UniqueHandleOf<HKEY, detail::CloseKey>;
using OwnedWindow = UniqueHandleOf<HWND, detail::DestroyOwnedWindow>;

// A window timer, killed when the owner goes out of scope.
class ScopedTimer {
 public:
  ScopedTimer(HWND window, UINT_PTR id, UINT milliseconds)
      : window_(window), id_(::SetTimer(window, id, milliseconds, nullptr)) {}
  ~ScopedTimer() {
    if (id_ != 0) ::KillTimer(window_, id_);
  }
  ScopedTimer(const ScopedTimer&) = delete;
  ScopedTimer& operator=(const ScopedTimer&) = delete;
  [[nodiscard]] bool running() const { return id_ != 0; }

 private:
  HWND window_;
  UINT_PTR id_;
};

}  // namespace rovant::ui
