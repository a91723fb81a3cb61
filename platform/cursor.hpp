// The mouse cursor: the wait cursor while an operation takes time.
#pragma once

namespace rovant {

class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual void ShowWait() = 0;
  virtual void ShowArrow() = 0;
};

// Shows the wait cursor for its lifetime and the arrow cursor on every way out.
class WaitCursor {
 public:
  explicit WaitCursor(Cursor& cursor) : cursor_(cursor) { cursor_.ShowWait(); }
  ~WaitCursor() { cursor_.ShowArrow(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Cursor& cursor_;
};

}  // namespace rovant
