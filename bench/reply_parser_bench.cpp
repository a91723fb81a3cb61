// How long parsing a full 4096-byte reply takes, for well-formed lines and
// for noise that the scanner has to step through one offset at a time.
#include <benchmark/benchmark.h>

#include <string>

#include "model/catalogue.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant {
namespace {

ReplyBuffer FullOfLines() {
  std::string text = "?MODEL  :HX320  \r\n?NVRAM  :";
  std::size_t item = 0;
  while (text.size() + 27 <= kReplyBufferSize) {
    const ItemIndex i = item++ % kItemCount;
    if (!IsRead(i)) continue;
    std::string line(InfoOf(BlockOf(i)).wireName);
    line += " :";
    line += KeywordOf(i);
    line += " :";
    line += *LabelOf(i, kFactoryDefaults);
    text += line + "\r\n";
  }
  text.resize(kReplyBufferSize, ' ');
  ReplyBuffer reply{};
  std::copy(text.begin(), text.end(), reply.begin());
  return reply;
}

ReplyBuffer FullOfNoise() {
  ReplyBuffer reply{};
  const std::string start = "?NVRAM  :";
  std::copy(start.begin(), start.end(), reply.begin());
  // Text that starts like a block field again and again but never is one.
  for (std::size_t i = start.size(); i < reply.size(); ++i) reply[i] = "MENU1  ?"[i % 8];
  return reply;
}

void Parse(benchmark::State& state, const ReplyBuffer& reply, ReadMode mode) {
  for (auto _ : state) {
    ParsedReply parsed =
        ParseReply(reply, reply.size(), mode, ModelCode::kHx320, 19, kFactoryDefaults);
    benchmark::DoNotOptimize(parsed);
  }
}

void BM_ParseReplyAllLines(benchmark::State& state) {
  static const ReplyBuffer reply = FullOfLines();
  Parse(state, reply, ReadMode::kStartUp);
}
BENCHMARK(BM_ParseReplyAllLines);

void BM_ParseReplyAllNoise(benchmark::State& state) {
  static const ReplyBuffer reply = FullOfNoise();
  Parse(state, reply, ReadMode::kRead);
}
BENCHMARK(BM_ParseReplyAllNoise);

}  // namespace
}  // namespace rovant
