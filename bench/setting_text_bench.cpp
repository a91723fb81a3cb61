// How long rendering a record into the setting text takes: a handful of table look-ups and
// copies, so well under the time of one printer send. The longest text: both PAGE LG at LINE,
// TEAROFF at AUTO.
#include <benchmark/benchmark.h>

#include "model/catalogue.hpp"
#include "protocol/setting_text.hpp"

namespace rovant {
namespace {

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

}  // namespace
}  // namespace rovant

BENCHMARK_MAIN();
