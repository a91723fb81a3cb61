// The screen's device context the printer selection dialog measures with
// (its image list and icons are owned through unique_handles.hpp).
#pragma once

#include <windows.h>

#include "ui/win32/unique_handles.hpp"

namespace rovant::ui {

// The screen's device context, released when done.
class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ::ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace rovant::ui
