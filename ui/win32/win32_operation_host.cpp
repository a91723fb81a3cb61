#include "ui/win32/win32_operation_host.hpp"

#include <iterator>
#include <optional>
#include <string>

#include "resources/resource_ids.h"
#include "ui/win32/window_placement.hpp"

namespace rovant::ui {
namespace {

// The status window has no behaviour of its own.
INT_PTR CALLBACK StatusProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The print-finished dialog's state, alive for the dialog's modal loop.
struct PrintFinished {
  HINSTANCE instance = nullptr;
  unsigned counter = 0;
  WindowTimer timer;
};

void ShowNextFrame(HWND dialog, PrintFinished& state) {
  const HICON icon = ::LoadIconA(state.instance, MAKEINTRESOURCEA(kPrintingFrames[state.counter]));
  ::SendDlgItemMessageA(dialog, IDC_PRINTING_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  state.counter = (state.counter + 1) % std::size(kPrintingFrames);
}

INT_PTR CALLBACK PrintFinishedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PrintFinished*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<PrintFinished*>(lParam);
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      state->counter = 0;
      state->timer.Start(dialog, kPrintingTimerId, kPrintingTimerMs);
      CentreOnScreen(dialog);
      ::SetForegroundWindow(dialog);
      return TRUE;
    case WM_TIMER:
      if (state != nullptr && wParam == kPrintingTimerId) ShowNextFrame(dialog, *state);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PRINTING_OK) {
        if (state != nullptr) state->timer.Stop();
        ::EndDialog(dialog, 1);
      }
      return TRUE;
    case WM_DESTROY:
      if (state != nullptr) state->timer.Stop();
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void Win32OperationHost::ShowStatus(std::string_view text) {
  status_.reset(
      ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_STATUS), mainWindow_, StatusProc, 0));
  if (!status_) return;
  const std::string line(text);
  ::SetDlgItemTextA(status_.get(), IDC_STATUS_TEXT, line.c_str());
  CentreOnScreen(status_.get());
  ::ShowWindow(status_.get(), SW_SHOW);
  ::UpdateWindow(status_.get());
}

void Win32OperationHost::CloseStatus() { status_.reset(); }

void Win32OperationHost::RunPrintFinishedDialog() {
  PrintFinished state{instance_, 0, {}};
  ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PRINT_FINISHED), mainWindow_, PrintFinishedProc,
                    reinterpret_cast<LPARAM>(&state));
}

void Win32OperationHost::LogReply(std::span<const char> bytes) {
  const HANDLE file = ::CreateFileA(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // only a log that exists is written
  const UniqueKernelHandle log(file);
  DWORD written = 0;
  ::WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace rovant::ui
