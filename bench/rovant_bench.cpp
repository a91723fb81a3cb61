// Google Benchmark timings, one per goal: rendering the setting text, parsing a reply at its worst,
// and the processor time the program's thread spends waiting for the language monitor.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "model/catalogue.hpp"
#include "platform/steady_clock.hpp"
#include "protocol/command_strings.hpp"
#include "protocol/reply_parser.hpp"
#include "protocol/setting_text.hpp"
#include "sim/memory_monitor.hpp"

namespace rovant {
namespace {

// A handful of table look-ups and copies, so well under the time of one printer send. The longest
// text: both PAGE LG at LINE, TEAROFF at AUTO.
void BM_BuildSettingTextLongest(benchmark::State& state) {
  SettingsRecord record = kFactoryDefaults;
  record[8] = record[31] = 14;
  record[70] = 1;
  SettingText text;
  for (auto _ : state) {
    ItemList refused;
    benchmark::DoNotOptimize(BuildSettingText(record, ModelCode::kHx320, text, refused));
    benchmark::DoNotOptimize(text.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(text.length);
}
BENCHMARK(BM_BuildSettingTextLongest);

// A full 4096-byte reply of noise that starts like a block field again and again, which the
// scanner steps through one offset at a time (a reply of well-formed lines takes about a fifth).
void BM_ParseReplyAllNoise(benchmark::State& state) {
  ReplyBuffer reply{};
  const std::string start = "?NVRAM  :";
  std::copy(start.begin(), start.end(), reply.begin());
  for (std::size_t i = start.size(); i < reply.size(); ++i) reply[i] = "MENU1  ?"[i % 8];
  for (auto _ : state) {
    ParsedReply parsed =
        ParseReply(reply, reply.size(), ReadMode::kRead, ModelCode::kHx320, 19, kFactoryDefaults);
    benchmark::DoNotOptimize(parsed);
  }
}
BENCHMARK(BM_ParseReplyAllNoise);

// One read as the read operation drives the mailbox (online sequence, query, receive, end; the
// protocol's own 2000 ms wait left out) against a monitor that answers after 150 ms: the first
// look after 100 ms, then one every millisecond, each a mutex and a whole-block copy. The figure
// to read is cpu / real time.
void BM_MailboxReadPolling(benchmark::State& state) {
  MemoryMailbox shared;
  MemoryMailboxPlatform platform(shared);
  SteadyClock clock;
  ReplyMailbox mailbox(platform, clock);
  MailboxLink link(mailbox);
  sim::SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  const sim::MemoryMonitor monitor(shared, printer, std::chrono::milliseconds(150));
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
BENCHMARK(BM_MailboxReadPolling)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace rovant

BENCHMARK_MAIN();
