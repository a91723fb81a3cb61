// The reply mailbox on Windows: a page-file-backed named mapping, a named
// mutex opened around every copy, and the one-byte RAW job through the spooler.
#pragma once

#include <memory>
#include <string>

#include "connection/mailbox_names.hpp"
#include "connection/mailbox_platform.hpp"

namespace rovant {
namespace win32 {
class FileMapping;
class NamedMutex;
}  // namespace win32

class Win32MailboxPlatform final : public MailboxPlatform {
 public:
  explicit Win32MailboxPlatform(MailboxNames names);
  ~Win32MailboxPlatform() override;
  Win32MailboxPlatform(const Win32MailboxPlatform&) = delete;
  Win32MailboxPlatform& operator=(const Win32MailboxPlatform&) = delete;

  // The printer the next spooler job goes to, and whether to use the wide
  // spooler calls (the NT family). There the job opens the printer by its wide
  // name as the spooler gave it: the 8-bit copy loses every character outside
  // the ANSI code page. Without a wide name the 8-bit one is widened.
  void SetPrinter(std::string printerName, std::u16string printerNameWide, bool ntFamily) {
    printerName_ = std::move(printerName);
    printerNameWide_ = std::move(printerNameWide);
    ntFamily_ = ntFamily;
  }

  std::span<std::uint8_t> MapBlock() override;
  void UnmapBlock() override;
  bool OpenLock() override;
  LockWait WaitLock(unsigned milliseconds) override;
  void ReleaseLock() override;
  void CloseLock() override;
  void StartSpoolerJob() override;

 private:
  MailboxNames names_;
  std::string printerName_;
  std::u16string printerNameWide_;
  bool ntFamily_ = true;
  // In this order, so that the block is unmapped before the mutex is closed.
  std::unique_ptr<win32::NamedMutex> mutex_;  // open only around one copy
  std::unique_ptr<win32::FileMapping> mapping_;
};

}  // namespace rovant
