// The one base of the program's windows and dialog boxes. Its procedure binds
// the object to its window when the window is created (WM_NCCREATE for a
// window class, WM_INITDIALOG for a dialog), routes each message to a virtual
// handler, and lets go at WM_NCDESTROY. A handler returns the message's answer,
// or nothing for the default processing (DefWindowProc for a window, FALSE for
// a dialog). Messages that arrive before the binding get the default.
//
// The object is kept in the window's pointer-sized extra bytes (GWLP_USERDATA
// or DWLP_USER) through WindowSlot/SetWindowSlot, one path for the 32-bit and
// the 64-bit builds.
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <optional>

namespace rovant::win32 {

// The pointer-sized value at `index` of a window's extra bytes (GWLP_USERDATA,
// DWLP_USER, DWLP_MSGRESULT).
inline LONG_PTR WindowSlot(HWND window, int index) { return ::GetWindowLongPtrA(window, index); }
inline void SetWindowSlot(HWND window, int index, LONG_PTR value) {
  ::SetWindowLongPtrA(window, index, value);
}

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // The window bound to this object; null before its creation and after its end.
  [[nodiscard]] HWND window() const { return window_; }

  // The window procedure of a window class; the object is CreationParameter().
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  // The dialog procedure; the object is the init parameter the dialog helpers pass.
  static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;

 protected:
  using Answer = std::optional<LRESULT>;

  WindowBase() = default;
  // A window still bound lets go of the object here; derived objects destroy
  // their windows in their own destructors, while their handlers still exist.
  virtual ~WindowBase();

  // What CreateWindowEx is given as its last argument to bind this object.
  [[nodiscard]] LPVOID CreationParameter() { return this; }
  // The dialog `templateId` of `instance`, modeless, bound to this object.
  HWND CreateModelessDialog(HINSTANCE instance, unsigned templateId, HWND parent);
  // The same, modal to `owner`: DialogBoxParam's result.
  INT_PTR RunModalDialog(HINSTANCE instance, unsigned templateId, HWND owner);
  // A dialog's answer that goes in DWLP_MSGRESULT (the procedure then returns TRUE).
  void SetMessageResult(LONG_PTR result) const;

  // WM_CREATE for a window, WM_INITDIALOG for a dialog.
  virtual Answer OnInit(WPARAM /*wParam*/, LPARAM /*lParam*/) { return {}; }
  virtual Answer OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) { return {}; }
  virtual Answer OnNotify(const NMHDR* /*header*/) { return {}; }
  virtual Answer OnTimer(UINT_PTR /*id*/) { return {}; }
  // WM_DESTROY.
  virtual Answer OnDestroy() { return {}; }
  // Every other message.
  virtual Answer OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return {}; }
  // WM_NCDESTROY: the window's last message; window() is still it.
  virtual void OnDetach() {}

 private:
  enum class Kind { kWindow, kDialog };
  template <Kind K>
  static LONG_PTR Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  Answer Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND window_ = nullptr;
  int slot_ = GWLP_USERDATA;
};

}  // namespace rovant::win32
