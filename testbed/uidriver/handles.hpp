// Owners of the kernel and GDI handles the driver opens.
#pragma once

#include <windows.h>

#include "ui/win32/unique_handles.hpp"

namespace rovant::uidriver {

using UniqueKernelHandle = ui::UniqueKernelHandle;

namespace detail {
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
}  // namespace detail

using UniqueBitmap = ui::UniqueHandleOf<HBITMAP, detail::DeleteGdiObject>;
using UniqueBrush = ui::UniqueHandleOf<HBRUSH, detail::DeleteGdiObject>;
using UniqueMemoryDc = ui::UniqueHandleOf<HDC, detail::DeleteMemoryDc>;

// A window's (or the screen's) device context, released when done.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
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

}  // namespace rovant::uidriver
