// Owners of the handles the program opens: kernel objects, loaded modules,
// registry keys, windows, hooks, image lists, icons and window timers.
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>

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
inline void RemoveHook(HHOOK hook) { ::UnhookWindowsHookEx(hook); }
inline void DestroyAccelerators(HACCEL table) { ::DestroyAcceleratorTable(table); }
inline void DestroyImageList(HIMAGELIST list) { ::ImageList_Destroy(list); }
inline void DestroyLoadedIcon(HICON icon) { ::DestroyIcon(icon); }
}  // namespace detail

using UniqueKernelHandle = UniqueHandleOf<HANDLE, detail::CloseKernelHandle>;
using UniqueModule = UniqueHandleOf<HMODULE, detail::UnloadModule>;
using UniqueKey = UniqueHandleOf<HKEY, detail::CloseKey>;
using OwnedWindow = UniqueHandleOf<HWND, detail::DestroyOwnedWindow>;
using UniqueHook = UniqueHandleOf<HHOOK, detail::RemoveHook>;
using UniqueAccelerators = UniqueHandleOf<HACCEL, detail::DestroyAccelerators>;
using UniqueImageList = UniqueHandleOf<HIMAGELIST, detail::DestroyImageList>;
// An icon loaded from the resources (not a shared one).
using UniqueIcon = UniqueHandleOf<HICON, detail::DestroyLoadedIcon>;

// A window timer, stopped when its owner goes.
class WindowTimer {
 public:
  WindowTimer() = default;
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;
  ~WindowTimer() { Stop(); }
  void Start(HWND window, UINT_PTR id, UINT milliseconds) {
    Stop();
    if (::SetTimer(window, id, milliseconds, nullptr) != 0) {
      window_ = window;
      id_ = id;
    }
  }
  void Stop() {
    if (window_ != nullptr) ::KillTimer(window_, id_);
    window_ = nullptr;
  }
  [[nodiscard]] bool running() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_ = 0;
};

}  // namespace rovant::ui
