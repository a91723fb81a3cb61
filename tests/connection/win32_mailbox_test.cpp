// The mailbox on Windows named objects: a monitor thread opens the same
// named mapping and mutex, as the language monitor does from the spooler.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "connection/mailbox_link.hpp"
#include "connection/reply_mailbox.hpp"
#include "connection/win32_mailbox_platform.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/memory_monitor.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"

namespace rovant {
namespace {

MailboxNames TestNames() {
  const std::string id = "rovant-test-" + std::to_string(::GetCurrentProcessId());
  return {id + " MapFile", id + " MapFile Mutex"};
}

// The language monitor's side, on its own handles to the named objects.
class NamedMonitor {
 public:
  NamedMonitor(const MailboxNames& names, sim::SimulatedPrinter& printer)
      : names_(names), printer_(printer), thread_([this] { Run(); }) {}
  ~NamedMonitor() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    HANDLE mapping = nullptr;
    void* view = nullptr;
    while (!stop_) {
      if (view == nullptr) {
        mapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, names_.mapping.c_str());
        if (mapping != nullptr)
          view = ::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kMailboxBlockSize);
      }
      if (view != nullptr) Serve(view);
      ::Sleep(2);
    }
    if (view != nullptr) ::UnmapViewOfFile(view);
    if (mapping != nullptr) ::CloseHandle(mapping);
  }
  void Serve(void* view) {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, names_.mutex.c_str());
    if (mutex == nullptr) return;
    const DWORD wait = ::WaitForSingleObject(mutex, 1000);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      MailboxBlock block;
      std::memcpy(block.bytes().data(), view, kMailboxBlockSize);
      const bool command = block.command() == kMailboxSend || block.command() == kMailboxReceive;
      if (block.status() == kMailboxPending && command) {
        sim::AnswerCommand(block, printer_);
        std::memcpy(view, block.bytes().data(), kMailboxBlockSize);
      }
      ::ReleaseMutex(mutex);
    }
    ::CloseHandle(mutex);
  }
  MailboxNames names_;
  sim::SimulatedPrinter& printer_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class NamedMailbox : public testing::OperationTest {
 protected:
  MailboxNames names = TestNames();
  Win32MailboxPlatform platform{names};
  SteadyClock sleeper;
  ReplyMailbox mailbox{platform, sleeper};
  MailboxLink mailboxLink{mailbox};
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  PrinterOperationContext viaMailbox{state, mailboxLink, clock, host, cursor, boxes, pages};
};

TEST_F(NamedMailbox, TransferAndReadThroughNamedObjects) {
  platform.SetPrinter("No Such Printer", true);  // the job goes nowhere; the monitor answers
  ASSERT_TRUE(mailbox.Open());
  const NamedMonitor monitor(names, printer);
  state.settings[3] = 5;
  ASSERT_EQ(WritePrinterSettings(1, testing::kOwner, viaMailbox), kWriteDone);
  EXPECT_EQ(printer.memory()[3], 5);
  state.settings = {};
  ASSERT_EQ(ReadPrinterSettings(7, testing::kOwner, viaMailbox), kReadDone);
  EXPECT_EQ(state.settings, printer.memory());
}

TEST_F(NamedMailbox, AbandonedMutexIsTakenOver) {
  ASSERT_TRUE(mailbox.Open());
  std::thread holder([this] {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, names.mutex.c_str());
    ::WaitForSingleObject(mutex, INFINITE);
    // The thread ends holding it: the mutex is abandoned.
  });
  holder.join();
  const NamedMonitor monitor(names, printer);
  EXPECT_EQ(mailboxLink.Send(wire::kOnlineSequence), true);
}

TEST_F(NamedMailbox, FailedStatusFailsTheSend) {
  ASSERT_TRUE(mailbox.Open());
  printer.faults().switchedOff = true;
  const NamedMonitor monitor(names, printer);
  EXPECT_FALSE(mailboxLink.Send(wire::kOnlineSequence));
}

}  // namespace
}  // namespace rovant
