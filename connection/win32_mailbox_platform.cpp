#include "connection/win32_mailbox_platform.hpp"

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <vector>

namespace rovant {
namespace {

constexpr unsigned char kJobByte = 0x18;

struct JobRequest {
  std::string printerName;
  std::u16string printerNameWide;
  bool ntFamily = true;
};

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  return std::wstring(wide.data());
}

// Sends the one byte as a RAW document. Nothing is checked: whether the
// printer is reached shows only in the mailbox.
DWORD WINAPI SpoolerJobThread(LPVOID parameter) {
  const std::unique_ptr<JobRequest> request(static_cast<JobRequest*>(parameter));
  HANDLE printer = nullptr;
  unsigned char byte = kJobByte;
  DWORD written = 0;
  if (request->ntFamily) {
    std::wstring name =
        request->printerNameWide.empty()
            ? Widen(request->printerName)
            : std::wstring(request->printerNameWide.begin(), request->printerNameWide.end());
    wchar_t document[] = L"VekWindow-TeleSet";
    wchar_t type[] = L"RAW";
    DOC_INFO_1W info{document, nullptr, type};
    if (::OpenPrinterW(name.data(), &printer, nullptr) != 0) {
      ::StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
      ::WritePrinter(printer, &byte, 1, &written);
      ::EndDocPrinter(printer);
      ::ClosePrinter(printer);
    }
  } else {
    std::string name = request->printerName;
    char document[] = "VekWindow-TeleSet";
    char type[] = "RAW";
    DOC_INFO_1A info{document, nullptr, type};
    if (::OpenPrinterA(name.data(), &printer, nullptr) != 0) {
      ::StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
      ::WritePrinter(printer, &byte, 1, &written);
      ::EndDocPrinter(printer);
      ::ClosePrinter(printer);
    }
  }
  return 0;
}

}  // namespace

Win32MailboxPlatform::~Win32MailboxPlatform() {
  UnmapBlock();
  CloseLock();
}

std::span<std::uint8_t> Win32MailboxPlatform::MapBlock() {
  if (view_ != nullptr) return {static_cast<std::uint8_t*>(view_), kMailboxBlockSize};
  mapping_ = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  static_cast<DWORD>(kMailboxBlockSize), names_.mapping.c_str());
  if (mapping_ == nullptr) return {};
  view_ = ::MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, kMailboxBlockSize);
  if (view_ == nullptr) {
    ::CloseHandle(mapping_);
    mapping_ = nullptr;
    return {};
  }
  return {static_cast<std::uint8_t*>(view_), kMailboxBlockSize};
}

void Win32MailboxPlatform::UnmapBlock() {
  if (view_ != nullptr) ::UnmapViewOfFile(view_);
  if (mapping_ != nullptr) ::CloseHandle(mapping_);
  view_ = nullptr;
  mapping_ = nullptr;
}

bool Win32MailboxPlatform::OpenLock() {
  mutex_ = ::CreateMutexA(nullptr, FALSE, names_.mutex.c_str());
  return mutex_ != nullptr;
}

LockWait Win32MailboxPlatform::WaitLock(unsigned milliseconds) {
  switch (::WaitForSingleObject(mutex_, milliseconds)) {
    case WAIT_OBJECT_0:
      return LockWait::kAcquired;
    case WAIT_ABANDONED:
      return LockWait::kAbandoned;
    case WAIT_TIMEOUT:
      return LockWait::kTimedOut;
    default:
      return LockWait::kFailed;
  }
}

void Win32MailboxPlatform::ReleaseLock() { ::ReleaseMutex(mutex_); }

void Win32MailboxPlatform::CloseLock() {
  if (mutex_ != nullptr) ::CloseHandle(mutex_);
  mutex_ = nullptr;
}

void Win32MailboxPlatform::StartSpoolerJob() {
  auto request =
      std::make_unique<JobRequest>(JobRequest{printerName_, printerNameWide_, ntFamily_});
  HANDLE thread = ::CreateThread(nullptr, 0, SpoolerJobThread, request.get(), 0, nullptr);
  if (thread == nullptr) return;  // the request is freed here; the mailbox shows the silence
  request.release();              // the thread owns it now
  ::CloseHandle(thread);
}

}  // namespace rovant
