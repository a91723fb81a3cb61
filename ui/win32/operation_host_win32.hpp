// What a printer operation shows, on Windows: the modeless status window
// (IDD_STATUS), the "Has printing finish?" dialog (IDD_PRINT_FINISHED) with its
// printing animation, and the optional reply log.
#pragma once

#include <windows.h>

#include <string>

#include "platform/operation_host.hpp"
#include "platform/win32/unique_handle.hpp"
#include "resources/resource_ids.h"

namespace rovant::ui {

inline constexpr UINT_PTR kPrintingTimerId = 32767;
inline constexpr UINT kPrintingTimerMs = 600;
// The frames of the printing animation, in the order they are shown.
inline constexpr int kPrintingFrames[] = {IDI_PRINTING_0, IDI_PRINTING_1, IDI_PRINTING_2,
                                          IDI_PRINTING_3, IDI_PRINTING_4};
inline constexpr const char* kReplyLogPath = "c:\\rovant.log";

class Win32OperationHost final : public OperationHost {
 public:
  // `instance`: the module holding the templates and icons; `mainWindow`: the
  // parent of the status window and owner of the dialog.
  Win32OperationHost(HINSTANCE instance, HWND mainWindow, std::string logPath = kReplyLogPath)
      : instance_(instance), mainWindow_(mainWindow), logPath_(std::move(logPath)) {}

  void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }

  // Creates the status window centred on the screen with `text`, shows and paints it.
  void ShowStatus(std::string_view text) override;
  void CloseStatus() override;
  // Modal, centred and in the foreground; returns when OK is pressed.
  void RunPrintFinishedDialog() override;
  // Appends to the log file only when it already exists.
  void LogReply(std::span<const char> bytes) override;

  [[nodiscard]] HWND StatusWindow() const { return status_.get(); }

 private:
  HINSTANCE instance_;
  HWND mainWindow_;
  std::string logPath_;
  win32::OwnedWindow status_;
};

}  // namespace rovant::ui
