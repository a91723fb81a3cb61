// The owner of one Windows handle, one template for every kind: the kind's
// traits say what its handle is, which value is empty and how it is closed.
//   struct Traits { using Handle = ...; static Handle Empty(); static void Close(Handle); };
// Closed when the owner goes; moved, never copied.
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <utility>

namespace rovant::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  void reset(Handle handle = Traits::Empty()) {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Traits::Empty()); }
  // Where a call that hands its handle back through a pointer stores it; any
  // handle held is closed first.
  Handle* Receive() {
    reset();
    return &handle_;
  }
  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }

 private:
  Handle handle_ = Traits::Empty();
};

// The traits of the kinds whose empty handle is null.
template <typename H>
struct NullIsEmpty {
  using Handle = H;
  static constexpr Handle Empty() { return nullptr; }
};

struct KernelHandleTraits : NullIsEmpty<HANDLE> {
  static void Close(HANDLE handle) { ::CloseHandle(handle); }
};
struct ModuleTraits : NullIsEmpty<HMODULE> {
  static void Close(HMODULE module) { ::FreeLibrary(module); }
};
struct KeyTraits : NullIsEmpty<HKEY> {
  static void Close(HKEY key) { ::RegCloseKey(key); }
};
// A window that may already have been destroyed by its parent.
struct OwnedWindowTraits : NullIsEmpty<HWND> {
  static void Close(HWND window) {
    if (::IsWindow(window)) ::DestroyWindow(window);
  }
};
struct HookTraits : NullIsEmpty<HHOOK> {
  static void Close(HHOOK hook) { ::UnhookWindowsHookEx(hook); }
};
struct AcceleratorsTraits : NullIsEmpty<HACCEL> {
  static void Close(HACCEL table) { ::DestroyAcceleratorTable(table); }
};
struct ImageListTraits : NullIsEmpty<HIMAGELIST> {
  static void Close(HIMAGELIST list) { ::ImageList_Destroy(list); }
};
struct IconTraits : NullIsEmpty<HICON> {
  static void Close(HICON icon) { ::DestroyIcon(icon); }
};
// A view of a file mapping, by its address.
struct MappedViewTraits : NullIsEmpty<void*> {
  static void Close(void* view) { ::UnmapViewOfFile(view); }
};
template <typename GdiObject>
struct GdiObjectTraits : NullIsEmpty<GdiObject> {
  static void Close(GdiObject object) { ::DeleteObject(object); }
};
struct MemoryDcTraits : NullIsEmpty<HDC> {
  static void Close(HDC dc) { ::DeleteDC(dc); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueKey = UniqueHandle<KeyTraits>;
using OwnedWindow = UniqueHandle<OwnedWindowTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueAccelerators = UniqueHandle<AcceleratorsTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
// An icon loaded from the resources (not a shared one).
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMappedView = UniqueHandle<MappedViewTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

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

// A window's (or, with null, the screen's) device context, released when done.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context, put back when done.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selected() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace rovant::win32
