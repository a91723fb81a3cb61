// How long rendering a record into the setting text takes: a handful of
// table look-ups and copies, so well under the time of one printer send.
#include <benchmark/benchmark.h>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "protocol/setting_text.hpp"

namespace rovant {
namespace {

void BM_BuildSettingTextFactoryHx320(benchmark::State& state) {
  SettingText text;
  for (auto _ : state) {
    ItemList refused;
    const bool built = BuildSettingText(kFactoryDefaults, ModelCode::kHx320, text, refused);
    benchmark::DoNotOptimize(built);
    benchmark::DoNotOptimize(text.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(text.length);
}
BENCHMARK(BM_BuildSettingTextFactoryHx320);

void BM_BuildSettingTextLongest(benchmark::State& state) {
  SettingsRecord record = kFactoryDefaults;
  record[8] = 14;
  record[31] = 14;
  record[70] = 1;
  SettingText text;
  for (auto _ : state) {
    ItemList refused;
    const bool built = BuildSettingText(record, ModelCode::kHx320, text, refused);
    benchmark::DoNotOptimize(built);
    benchmark::DoNotOptimize(text.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(text.length);
}
BENCHMARK(BM_BuildSettingTextLongest);

void BM_DecodeSettingFile(benchmark::State& state) {
  for (auto _ : state) {
    LoadedSettings loaded = DecodeSettingFile(kFactoryDefaults);
    benchmark::DoNotOptimize(loaded);
  }
}
BENCHMARK(BM_DecodeSettingFile);

}  // namespace
}  // namespace rovant

BENCHMARK_MAIN();
