// The mailbox on Windows named objects, for what the two processes of
// mailbox_end_to_end cannot arrange: a mutex its holder abandoned. A monitor
// thread opens the same named mapping and mutex, as the language monitor does
// from the spooler.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "connection/mailbox_link.hpp"
#include "connection/mailbox_platform_win32.hpp"
#include "connection/reply_mailbox.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/command_strings.hpp"
#include "sim/monitor_channel_win32.hpp"
#include "sim/monitor_loop.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant {
namespace {

TEST(NamedMailbox, AbandonedMutexIsTakenOver) {
  const std::string id = "rovant-test-" + std::to_string(::GetCurrentProcessId());
  const MailboxNames names{id + " MapFile", id + " MapFile Mutex"};
  Win32MailboxPlatform platform{names};
  SteadyClock sleeper;
  ReplyMailbox mailbox{platform, sleeper};
  MailboxLink link{mailbox};
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  ASSERT_TRUE(mailbox.Open());
  std::unique_ptr<void, decltype(&::CloseHandle)> abandoned(nullptr, ::CloseHandle);
  std::thread holder([&] {
    abandoned.reset(::CreateMutexA(nullptr, FALSE, names.mutex.c_str()));
    ::WaitForSingleObject(abandoned.get(), INFINITE);
    // The thread ends holding it: the mutex is abandoned.
  });
  holder.join();
  // The language monitor's side, on its own handles to the named objects, from
  // a thread of its own (as the spooler's process would be).
  sim::Win32MonitorChannel channel(names);
  sim::MonitorLoop loop(channel, printer, {});
  std::atomic<bool> stop{false};
  std::thread monitor([&] {
    for (; !stop; ::Sleep(2)) {
      if (channel.Map()) loop.Step();
    }
  });
  EXPECT_TRUE(link.Send(wire::kOnlineSequence)) << link.LastError();
  stop = true;
  monitor.join();
}

}  // namespace
}  // namespace rovant
