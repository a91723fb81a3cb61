// The mailbox's polling cost on Windows (or under Wine), where Google
// Benchmark is not built: complete reads through the named mapping and mutex
// against a monitor thread that answers like a printer taking its time. Prints
// the main thread's processor time over the wall time, as a share of one core.
//
//   mailbox_cpu_probe [READS] [ANSWER-DELAY-MS]     (defaults: 5 reads, 150 ms)
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

namespace {

using namespace rovant;

double ThreadCpuMs(HANDLE thread) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (::GetThreadTimes(thread, &created, &exited, &kernel, &user) == 0) return 0;
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

}  // namespace

int main(int argc, char** argv) {
  const int reads = argc > 1 ? std::atoi(argv[1]) : 5;
  const int delayMs = argc > 2 ? std::atoi(argv[2]) : 150;
  if (reads < 1 || delayMs < 0) {
    std::fprintf(stderr, "usage: mailbox_cpu_probe [READS] [ANSWER-DELAY-MS]\n");
    return 2;
  }
  const MailboxNames names{"rovant-probe-" + std::to_string(::GetCurrentProcessId()),
                           "rovant-probe-" + std::to_string(::GetCurrentProcessId()) + " Mutex"};
  Win32MailboxPlatform platform(names);
  platform.SetPrinter("No Such Printer", {}, true);
  SteadyClock clock;
  ReplyMailbox mailbox(platform, clock);
  MailboxLink link(mailbox);
  if (!mailbox.Open()) {
    std::fprintf(stderr, "mailbox_cpu_probe: the mailbox cannot be opened\n");
    return 1;
  }
  sim::SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  std::atomic<bool> stop{false};
  std::thread monitor([&] {
    sim::Win32MonitorChannel channel(names);
    sim::MonitorLoop loop(channel, printer, {}, std::chrono::milliseconds(delayMs));
    while (!stop) {
      if (channel.Map()) loop.Step();
      ::Sleep(1);
    }
  });

  const double cpuBefore = ThreadCpuMs(::GetCurrentThread());
  const auto wallBefore = std::chrono::steady_clock::now();
  int failures = 0;
  std::array<char, 4096> reply{};
  for (int i = 0; i < reads; ++i) {
    link.Open(LinkRoute::kSpoolerSession);
    std::size_t length = 0;
    const bool ok = link.Send(wire::kOnlineSequence) && link.Send(wire::kQuerySettings) &&
                    link.Receive(reply, length);
    link.Close();
    if (!ok || length == 0) ++failures;
  }
  const double wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore)
          .count();
  const double cpuMs = ThreadCpuMs(::GetCurrentThread()) - cpuBefore;
  stop = true;
  monitor.join();
  std::printf(
      "%d reads, monitor answering after %d ms: main thread %.1f ms of processor time "
      "over %.0f ms wall = %.2f %% of one core\n",
      reads, delayMs, cpuMs, wallMs, 100.0 * cpuMs / wallMs);
  if (failures > 0) std::fprintf(stderr, "mailbox_cpu_probe: %d reads failed\n", failures);
  return failures > 0 ? 1 : 0;
}
