// The state file: missing, round trip, damaged, unwritable.
#include "sim/printer_state.hpp"

#include <gtest/gtest.h>

#include <random>

#include "tests/fakes/fake_file_system.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using rovant::testing::CallLog;
using rovant::testing::FakeFileSystem;

class SimState : public ::testing::Test {
 protected:
  CallLog log;
  FakeFileSystem fs{log};
};

TEST_F(SimState, MissingFileMeansFactoryDefaults) {
  const Expected<LoadedState> state = LoadPrinterState(fs, "printer.state");
  ASSERT_TRUE(state);
  EXPECT_TRUE(state->fresh);
  EXPECT_EQ(state->memory, kFactoryDefaults);
}

TEST_F(SimState, SavedMemoryComesBack) {
  std::mt19937 rng(17);
  const SettingsRecord memory = testing::RandomRecord(rng);
  const Expected<void> saved = SavePrinterState(fs, "printer.state", memory);
  ASSERT_TRUE(saved) << saved.error();
  ASSERT_EQ(fs.files["printer.state"], std::vector<std::uint8_t>(memory.begin(), memory.end()));
  const Expected<LoadedState> state = LoadPrinterState(fs, "printer.state");
  ASSERT_TRUE(state) << state.error();
  EXPECT_FALSE(state->fresh);
  EXPECT_EQ(state->memory, memory);
}

struct DamageCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  const char* says;
};

class SimDamagedState : public ::testing::TestWithParam<DamageCase> {};

std::vector<std::uint8_t> Defaults() {
  return std::vector<std::uint8_t>(kFactoryDefaults.begin(), kFactoryDefaults.end());
}
std::vector<std::uint8_t> DefaultsWith(std::size_t at, std::uint8_t value) {
  std::vector<std::uint8_t> bytes = Defaults();
  bytes[at] = value;
  return bytes;
}
std::vector<std::uint8_t> DefaultsPlusOne() {
  std::vector<std::uint8_t> bytes = Defaults();
  bytes.push_back(0);
  return bytes;
}

TEST_P(SimDamagedState, IsAnErrorNamingWhatIsWrong) {
  CallLog log;
  FakeFileSystem fs(log);
  fs.files["s.bin"] = GetParam().bytes;
  const Expected<LoadedState> state = LoadPrinterState(fs, "s.bin");
  ASSERT_FALSE(state);
  EXPECT_NE(state.error().find("s.bin"), std::string::npos) << state.error();
  EXPECT_NE(state.error().find(GetParam().says), std::string::npos) << state.error();
}

INSTANTIATE_TEST_SUITE_P(
    All, SimDamagedState,
    ::testing::Values(DamageCase{"Empty", {}, "0 bytes"},
                      DamageCase{"Short", std::vector<std::uint8_t>(86, 0), "86 bytes"},
                      DamageCase{"Long", DefaultsPlusOne(), "longer than 87"},
                      DamageCase{"OutOfList", DefaultsWith(3, 200), "MENU1 PITCH"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SimState, UnreadableFileIsAnError) {
  fs.files["s.bin"] = Defaults();
  fs.unreadable.insert("s.bin");
  const Expected<LoadedState> state = LoadPrinterState(fs, "s.bin");
  ASSERT_FALSE(state);
  EXPECT_NE(state.error().find("cannot be read"), std::string::npos);
}

TEST_F(SimState, FailedSaveSaysSo) {
  fs.diskFull = true;
  const Expected<void> saved = SavePrinterState(fs, "s.bin", kFactoryDefaults);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find("s.bin"), std::string::npos);
  EXPECT_FALSE(fs.files.contains("s.bin"));
}

}  // namespace
}  // namespace rovant::sim
