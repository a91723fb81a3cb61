#include "ui/win32/message_boxes_win32.hpp"

namespace rovant::ui {

int Win32MessageBoxes::Show(const MessageBoxRequest& request) {
  HWND owner = reinterpret_cast<HWND>(request.owner);
  if (request.icon == 0) {
    return MessageBoxA(owner, request.text.c_str(), "ROVANT", request.style);
  }
  MSGBOXPARAMSA params{};
  params.cbSize = sizeof(params);
  params.hwndOwner = owner;
  params.hInstance = instance_;
  params.lpszText = request.text.c_str();
  params.lpszCaption = "ROVANT";
  params.dwStyle = request.style | MB_USERICON;
  params.lpszIcon = MAKEINTRESOURCEA(request.icon);
  return MessageBoxIndirectA(&params);
}

}  // namespace rovant::ui
