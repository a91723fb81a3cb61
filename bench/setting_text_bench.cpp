// How long rendering a record into the setting text takes: a handful of table look-ups and
// copies, so well under the time of one printer send. Argument 1: the longest text (both
// PAGE LG at LINE, TEAROFF at AUTO).
#include <benchmark/benchmark.h>

#include "model/catalogue.hpp"
#include "protocol/setting_text.hpp"

namespace rovant {
namespace {

void BM_BuildSettingText(benchmark::State& state) {
  SettingsRecord record = kFactoryDefaults;
  if (state.range(0) == 1) {
    record[8] = record[31] = 14;
    record[70] = 1;
  }
  SettingText text;
  for (auto _ : state) {
    ItemList refused;
    benchmark::DoNotOptimize(BuildSettingText(record, ModelCode::kHx320, text, refused));
    benchmark::DoNotOptimize(text.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(text.length);
}
BENCHMARK(BM_BuildSettingText)->Arg(0)->Arg(1);

}  // namespace
}  // namespace rovant

BENCHMARK_MAIN();
