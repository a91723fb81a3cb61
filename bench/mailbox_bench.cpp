// How much processor time the program's thread spends while it waits for the
// language monitor: the first look after 100 ms, then a look every
// millisecond, each a mutex and a whole-block copy. The monitor answers like
// a printer that takes a while; the figure to read is cpu / real time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/command_strings.hpp"
#include "sim/memory_monitor.hpp"

namespace rovant {
namespace {

// One read as the read operation drives the mailbox: online sequence, query,
// receive, end (the protocol's own 2000 ms wait is left out: it costs nothing).
void BM_MailboxReadPolling(benchmark::State& state) {
  MemoryMailbox shared;
  MemoryMailboxPlatform platform(shared);
  SteadyClock clock;
  ReplyMailbox mailbox(platform, clock);
  MailboxLink link(mailbox);
  sim::SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  const sim::MemoryMonitor monitor(shared, printer, std::chrono::milliseconds(state.range(0)));
  mailbox.Open();
  std::array<char, 4096> reply{};
  for (auto _ : state) {
    link.Open(LinkRoute::kSpoolerSession);
    std::size_t length = 0;
    const bool ok = link.Send(wire::kOnlineSequence) && link.Send(wire::kQuerySettings) &&
                    link.Receive(reply, length);
    link.Close();
    if (!ok || length == 0) state.SkipWithError("the monitor did not answer");
  }
}
BENCHMARK(BM_MailboxReadPolling)
    ->Arg(150)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
}  // namespace rovant
