#include "platform/win32/window_base.hpp"

namespace rovant::win32 {

WindowBase::~WindowBase() {
  if (window_ != nullptr && ::IsWindow(window_)) SetWindowSlot(window_, slot_, 0);
}

HWND WindowBase::CreateModelessDialog(HINSTANCE instance, unsigned templateId, HWND parent) {
  return ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &DialogProcedure,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR WindowBase::RunModalDialog(HINSTANCE instance, unsigned templateId, HWND owner) {
  return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &DialogProcedure,
                           reinterpret_cast<LPARAM>(this));
}

void WindowBase::SetMessageResult(LONG_PTR result) const {
  SetWindowSlot(window_, DWLP_MSGRESULT, result);
}

LRESULT CALLBACK WindowBase::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  return Route<Kind::kWindow>(window, message, wParam, lParam);
}

INT_PTR CALLBACK WindowBase::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  return static_cast<INT_PTR>(Route<Kind::kDialog>(dialog, message, wParam, lParam));
}

template <WindowBase::Kind K>
LONG_PTR WindowBase::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  constexpr bool kIsWindow = K == Kind::kWindow;
  constexpr int kSlot = kIsWindow ? GWLP_USERDATA : static_cast<int>(DWLP_USER);
  const auto byDefault = [&]() -> LONG_PTR {
    return kIsWindow ? ::DefWindowProcA(window, message, wParam, lParam) : FALSE;
  };
  if (message == (kIsWindow ? WM_NCCREATE : WM_INITDIALOG)) {
    void* parameter = kIsWindow ? reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams
                                : reinterpret_cast<void*>(lParam);
    auto* bound = static_cast<WindowBase*>(parameter);
    SetWindowSlot(window, kSlot, reinterpret_cast<LONG_PTR>(bound));
    if (bound != nullptr) {
      bound->window_ = window;
      bound->slot_ = kSlot;
    }
  }
  auto* target = reinterpret_cast<WindowBase*>(WindowSlot(window, kSlot));
  if (target == nullptr) return byDefault();
  if (message == WM_NCDESTROY) {
    target->OnDetach();
    SetWindowSlot(window, kSlot, 0);
    if (target->window_ == window) target->window_ = nullptr;
    return byDefault();
  }
  const Answer answer = target->Dispatch(message, wParam, lParam);
  return answer ? *answer : byDefault();
}

WindowBase::Answer WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_CREATE:
    case WM_INITDIALOG:
      return OnInit(wParam, lParam);
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_DESTROY:
      return OnDestroy();
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace rovant::win32
