// How long parsing a full 4096-byte reply takes at worst: noise that starts like a block field
// again and again, which the scanner steps through one offset at a time (a reply of well-formed
// lines takes about a fifth of it).
#include <benchmark/benchmark.h>

#include <string>

#include "model/catalogue.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant {
namespace {

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

}  // namespace
}  // namespace rovant
