#include "ui/win32/operation_host_win32.hpp"

#include <iterator>
#include <optional>
#include <string>

#include "platform/win32/window_base.hpp"
#include "resources/resource_ids.h"
#include "ui/win32/window_placement.hpp"

namespace rovant::ui {
namespace {

// The status window has no behaviour of its own.
INT_PTR CALLBACK StatusProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The "Has printing finish?" dialog with its printing animation, for one modal loop.
class PrintFinishedDialog final : public win32::WindowBase {
 public:
  explicit PrintFinishedDialog(HINSTANCE instance) : instance_(instance) {}
  void Run(HWND owner) { RunModalDialog(instance_, IDD_PRINT_FINISHED, owner); }

 private:
  Answer OnInit(WPARAM, LPARAM) override {
    counter_ = 0;
    timer_.Start(window(), kPrintingTimerId, kPrintingTimerMs);
    CentreOnScreen(window());
    ::SetForegroundWindow(window());
    return TRUE;
  }
  Answer OnTimer(UINT_PTR id) override {
    if (id == kPrintingTimerId) ShowNextFrame();
    return TRUE;
  }
  Answer OnCommand(WPARAM wParam, LPARAM) override {
    if (LOWORD(wParam) == IDC_PRINTING_OK) {
      timer_.Stop();
      ::EndDialog(window(), 1);
    }
    return TRUE;
  }
  Answer OnDestroy() override {
    timer_.Stop();
    return FALSE;
  }

  void ShowNextFrame() {
    const HICON icon = ::LoadIconA(instance_, MAKEINTRESOURCEA(kPrintingFrames[counter_]));
    ::SendDlgItemMessageA(window(), IDC_PRINTING_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon),
                          0);
    counter_ = (counter_ + 1) % std::size(kPrintingFrames);
  }

  HINSTANCE instance_;
  unsigned counter_ = 0;
  win32::WindowTimer timer_;
};

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
  PrintFinishedDialog dialog(instance_);
  dialog.Run(mainWindow_);
}

void Win32OperationHost::LogReply(std::span<const char> bytes) {
  const HANDLE file = ::CreateFileA(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // only a log that exists is written
  const win32::UniqueKernelHandle log(file);
  DWORD written = 0;
  ::WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace rovant::ui
