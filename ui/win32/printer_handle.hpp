// An open spooler printer, closed again when it goes out of scope.
#pragma once

#include <windows.h>
#include <winspool.h>

namespace rovant::ui {

class PrinterHandle {
 public:
  PrinterHandle() = default;
  ~PrinterHandle() { Close(); }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;

  // Where the open call stores the handle; any handle held is closed first.
  HANDLE* Receive() {
    Close();
    return &handle_;
  }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void Close() {
    if (handle_ != nullptr) ::ClosePrinter(handle_);
    handle_ = nullptr;
  }
  HANDLE handle_ = nullptr;
};

}  // namespace rovant::ui
