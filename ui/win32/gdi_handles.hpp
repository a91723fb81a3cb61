// Owners of the handles the printer selection dialog makes: its image list,
// the icons it loads into it, and the screen's device context it measures with.
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <utility>

namespace rovant::ui {

class UniqueImageList {
 public:
  UniqueImageList() = default;
  explicit UniqueImageList(HIMAGELIST list) : list_(list) {}
  ~UniqueImageList() { reset(); }
  UniqueImageList(const UniqueImageList&) = delete;
  UniqueImageList& operator=(const UniqueImageList&) = delete;
  UniqueImageList(UniqueImageList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
  UniqueImageList& operator=(UniqueImageList&& other) noexcept {
    if (this != &other) reset(std::exchange(other.list_, nullptr));
    return *this;
  }
  void reset(HIMAGELIST list = nullptr) {
    if (list_ != nullptr) ::ImageList_Destroy(list_);
    list_ = list;
  }
  [[nodiscard]] HIMAGELIST get() const { return list_; }

 private:
  HIMAGELIST list_ = nullptr;
};

// An icon loaded from the resources (not shared), destroyed after use.
class UniqueIcon {
 public:
  explicit UniqueIcon(HICON icon) : icon_(icon) {}
  ~UniqueIcon() {
    if (icon_ != nullptr) ::DestroyIcon(icon_);
  }
  UniqueIcon(const UniqueIcon&) = delete;
  UniqueIcon& operator=(const UniqueIcon&) = delete;
  [[nodiscard]] HICON get() const { return icon_; }

 private:
  HICON icon_;
};

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
