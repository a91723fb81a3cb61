#include "connection/mailbox_platform_win32.hpp"

#include <windows.h>
#include <winspool.h>

#include <memory>

#include "platform/win32/named_objects.hpp"
#include "platform/win32/printer.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/unique_handle.hpp"

namespace rovant {
namespace {

constexpr unsigned char kJobByte = 0x18;

struct JobRequest {
  std::string printerName;
  std::u16string printerNameWide;
  bool ntFamily = true;
};

// Sends the one byte as a RAW document. Nothing is checked: whether the
// printer is reached shows only in the mailbox.
DWORD WINAPI SpoolerJobThread(LPVOID parameter) {
  const std::unique_ptr<JobRequest> request(static_cast<JobRequest*>(parameter));
  win32::PrinterHandle printer;
  unsigned char byte = kJobByte;
  DWORD written = 0;
  if (request->ntFamily) {
    std::wstring name =
        request->printerNameWide.empty()
            ? win32::ToWide(request->printerName)
            : std::wstring(request->printerNameWide.begin(), request->printerNameWide.end());
    wchar_t document[] = L"VekWindow-TeleSet";
    wchar_t type[] = L"RAW";
    DOC_INFO_1W info{document, nullptr, type};
    if (::OpenPrinterW(name.data(), printer.Receive(), nullptr) != 0) {
      ::StartDocPrinterW(printer.get(), 1, reinterpret_cast<LPBYTE>(&info));
      ::WritePrinter(printer.get(), &byte, 1, &written);
      ::EndDocPrinter(printer.get());
    }
  } else {
    std::string name = request->printerName;
    char document[] = "VekWindow-TeleSet";
    char type[] = "RAW";
    DOC_INFO_1A info{document, nullptr, type};
    if (::OpenPrinterA(name.data(), printer.Receive(), nullptr) != 0) {
      ::StartDocPrinterA(printer.get(), 1, reinterpret_cast<LPBYTE>(&info));
      ::WritePrinter(printer.get(), &byte, 1, &written);
      ::EndDocPrinter(printer.get());
    }
  }
  return 0;
}

}  // namespace

Win32MailboxPlatform::Win32MailboxPlatform(MailboxNames names)
    : names_(std::move(names)),
      mutex_(std::make_unique<win32::NamedMutex>()),
      mapping_(std::make_unique<win32::FileMapping>()) {}

Win32MailboxPlatform::~Win32MailboxPlatform() = default;

std::span<std::uint8_t> Win32MailboxPlatform::MapBlock() {
  if (mapping_->bytes().empty()) mapping_->Open(names_.mapping, kMailboxBlockSize);
  return mapping_->bytes();
}

void Win32MailboxPlatform::UnmapBlock() { mapping_->Close(); }

bool Win32MailboxPlatform::OpenLock() { return mutex_->Open(names_.mutex); }

LockWait Win32MailboxPlatform::WaitLock(unsigned milliseconds) {
  switch (mutex_->Wait(milliseconds)) {
    case win32::MutexWait::kAcquired:
      return LockWait::kAcquired;
    case win32::MutexWait::kAbandoned:
      return LockWait::kAbandoned;
    case win32::MutexWait::kTimedOut:
      return LockWait::kTimedOut;
    case win32::MutexWait::kFailed:
      break;
  }
  return LockWait::kFailed;
}

void Win32MailboxPlatform::ReleaseLock() { mutex_->Release(); }

void Win32MailboxPlatform::CloseLock() { mutex_->Close(); }

void Win32MailboxPlatform::StartSpoolerJob() {
  auto request =
      std::make_unique<JobRequest>(JobRequest{printerName_, printerNameWide_, ntFamily_});
  const win32::UniqueKernelHandle thread(
      ::CreateThread(nullptr, 0, SpoolerJobThread, request.get(), 0, nullptr));
  if (!thread) return;  // the request is freed here; the mailbox shows the silence
  request.release();    // the thread owns it now
}

}  // namespace rovant
