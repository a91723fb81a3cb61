// Profiles applied to records, YAML profiles and inventories refused, the parallel runner's limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <tuple>

#include "fleet/fleet_runner.hpp"
#include "fleet/profile.hpp"
#include "fleet/yaml_files.hpp"
#include "model/catalogue.hpp"

namespace rovant::fleet {
namespace {

struct ApplyCase {
  const char* yaml;
  std::optional<ModelCode> model;
  const char* expected;      // "item=value ...": bytes after (nothing refused)
  const char* problemLines;  // lines refused (record untouched)
};

// MENU1: EMULATE 0, PITCH 3 (factory 4: "10 CPI "), item 8 resets to 9 (DPL24C+) or 14
// (ESC/P2), WIDTH 17 (factory 3); MENU2 PITCH 26; CONFIG LOCK 78. The emulation comes first
// whatever the order, the same one keeps the block, keys are blank-tolerant and in any case; a
// read-only item, a label outside the list or an item the model never takes refuses it all.
const ApplyCase kApplyCases[] = {
    {"MENU1.PITCH: 12 CPI\nMENU1.EMULATE: ESC/P2\n", std::nullopt, "0=2 8=14 3=5", ""},
    {"MENU1.EMULATE: DPL24C+\nMENU2.PITCH: 15 CPI\n", std::nullopt, "0=0 8=9 26=6", ""},
    {"menu1.pitch: '  12 CPI'\nCONFIG.LOCK: SETUP\n", std::nullopt, "3=5 78=1", ""},
    {"MENU1.PITCH: 12 CPI\nHARDWARE.BAUD-RT: '9600'\n", std::nullopt, "3=4", "2"},
    {"MENU1.PITCH: 11 CPI\nMENU1.FONT: NOFONT\n", std::nullopt, "3=4", "1 2"},
    {"MENU1.WIDTH: 8.0 IN\n", ModelCode::kHx310, "", "1"},
    {"MENU1.WIDTH: 8.0 IN\n", ModelCode::kHx320, "17=0", ""},
};

class ApplyTest : public testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyTest, AppliesAsThePagesDoOrRefusesWithTheLine) {
  const ApplyCase& c = GetParam();
  SCOPED_TRACE(c.yaml);
  Profile profile;
  ASSERT_TRUE(ParseProfileYaml(c.yaml, profile).empty());
  SettingsRecord record = kFactoryDefaults;
  const std::vector<ProfileProblem> problems = ApplyProfile(profile, record, c.model);
  std::string lines;
  for (const ProfileProblem& p : problems)
    lines += (lines.empty() ? "" : " ") + std::to_string(p.line);
  EXPECT_EQ(lines, c.problemLines);
  if (!problems.empty()) {
    EXPECT_EQ(record, kFactoryDefaults);
  }
  std::istringstream expected(c.expected);
  for (std::size_t item = 0, value = 0; expected >> item && expected.ignore() >> value;) {
    EXPECT_EQ(record[item], value) << ItemKey(static_cast<ItemIndex>(item));
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, ApplyTest, testing::ValuesIn(kApplyCases));

TEST(ProfileExport, BuildingTheExportGivesTheRecordBack) {
  SettingsRecord escp2 = kFactoryDefaults;
  ApplyEmulationReset(escp2, MenuBlock::kMenu2, kEscP2);
  escp2[3] = 5;
  escp2[78] = 1;
  SettingsRecord xl = kFactoryDefaults;
  ApplyEmulationReset(xl, MenuBlock::kMenu1, kXl24e);
  xl[4] = static_cast<std::uint8_t>(ListInForce(4, xl).size() - 1);
  for (const SettingsRecord& record : {kFactoryDefaults, escp2, xl}) {
    Profile profile;
    ASSERT_TRUE(ParseProfileYaml(ProfileToYaml(ProfileOfRecord(record), record), profile).empty());
    SettingsRecord built = kFactoryDefaults;
    ASSERT_TRUE(ApplyProfile(profile, built).empty());
    EXPECT_EQ(built, record);
  }
}

TEST(ProfileDifferences, OnlyItemsSentAndReadBackCount) {
  // The texts of a difference are what fleet_end_to_end reads in --json.
  SettingsRecord want = kFactoryDefaults;
  want[3] = 5;   // MENU1 PITCH: sent to every model
  want[17] = 1;  // MENU1 WIDTH: sent to an HX320 only
  want[53] = 3;  // HARDWARE BAUD-RT: read-only, never sent
  const std::vector<ItemDifference> hx320 = Differences(want, kFactoryDefaults, ModelCode::kHx320);
  ASSERT_EQ(hx320.size(), 2u);
  EXPECT_EQ(ItemKey(hx320[0].item), "MENU1.PITCH");
  EXPECT_EQ(ItemKey(hx320[1].item), "MENU1.WIDTH");
  EXPECT_EQ(Differences(want, kFactoryDefaults, ModelCode::kHx310).size(), 1u);
}

// Profiles (false) and inventories (true) refused: the line of the first problem, part of its
// reason.
using RefusedText = std::tuple<bool, const char*, int, const char*>;
const RefusedText kRefusedTexts[] = {
    {false, "MENU1.PITCH: 12 CPI\nMENU1.FOO: x\n", 2, "no item \"FOO\" in MENU1"},
    {false, "\nMENU9.PITCH: 12 CPI\n", 2, "no block \"MENU9\""},
    {false, "MENU1.PITCH: 12 CPI\nmenu1.pitch: 15 CPI\n", 2, "named twice"},
    {false, "MENU1.PITCH: [12 CPI]\n", 1, "a text value is expected"},
    {false, "- MENU1.PITCH\n", 1, "maps BLOCK.ITEM"},
    {false, "MENU1.PITCH: 12 CPI\n  x: [\n", 2, "not valid YAML"},
    {true, "printers:\n  - {name: x, printer: sim:HX320}\n  - {name: x, printer: sim:HX320}\n", 3,
     "used twice"},
    {true, "printers:\n  - {name: x}\n", 2, "needs both name and printer"},
    {true, "printers:\n  - {name: x, printer: 'bogus'}\n", 2, "x: printer: refused"},
    {true, "printers:\n  - name: x\n    printer: sim:HX320\n    model: HX999\n", 2,
     "HX310, HX320 or other"},
    {true, "printers:\n  - {name: x, printer: sim:HX320, colour: red}\n", 2,
     "unknown key \"colour\""},
    {true, "printers:\n  - {name: ../x, printer: sim:HX320}\n", 2, "it names files"},
    {true, "defaults: {model: HX320}\n", 1, "an inventory has \"printers:\""},
};

std::vector<ProfileProblem> ReadInventory(const std::string& text, Inventory& inventory) {
  return ParseInventoryYaml(text, inventory, [](const std::string& printer) {
    return printer == "bogus" ? std::optional<std::string>("refused") : std::nullopt;
  });
}

class RefusedTextTest : public testing::TestWithParam<RefusedText> {};

TEST_P(RefusedTextTest, NamesTheLineAndTheReason) {
  const auto& [isInventory, text, line, reason] = GetParam();
  Profile profile;
  Inventory inventory;
  const std::vector<ProfileProblem> problems =
      isInventory ? ReadInventory(text, inventory) : ParseProfileYaml(text, profile);
  ASSERT_FALSE(problems.empty());
  EXPECT_TRUE(inventory.printers.empty());
  EXPECT_EQ(problems[0].line, line);
  EXPECT_NE(problems[0].reason.find(reason), std::string::npos) << problems[0].reason;
}

INSTANTIATE_TEST_SUITE_P(ProfilesAndInventories, RefusedTextTest, testing::ValuesIn(kRefusedTexts));

TEST(InventoryTest, PrintersTakeTheDefaultsTheyDoNotName) {
  Inventory inventory;
  const auto problems = ReadInventory(
      "defaults: {model: HX310, groups: [a]}\nprinters:\n  - {name: x, printer: sim:HX310}\n"
      "  - {name: y, printer: 'tcp://h', model: hx320, groups: [b, c]}\n",
      inventory);
  ASSERT_TRUE(problems.empty()) << problems[0].reason;
  ASSERT_EQ(inventory.printers.size(), 2u);
  EXPECT_EQ(inventory.printers[0].model, ModelCode::kHx310);
  EXPECT_EQ(inventory.printers[0].groups, std::vector<std::string>{"a"});
  EXPECT_EQ(inventory.printers[1].model, ModelCode::kHx320);
  EXPECT_EQ(inventory.printers[1].groups, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(inventory.printers[1].line, 4);
}

TEST(FleetRunner, SharedChannelsGoOneAtATimeAndParallelIsTheLimit) {
  // Items 0..3 share the "spooler" queue, 4..11 are each on their own.
  std::mutex lock;
  std::map<std::string, int> running;
  std::map<std::string, int> peak;
  std::vector<std::size_t> started;
  const auto count = [&](std::size_t i, int step) {
    const std::lock_guard guard(lock);
    for (const std::string name : {i < 4 ? "spooler" : "own", "total"})
      peak[name] = std::max(peak[name], running[name] += step);
    if (step > 0) started.push_back(i);
  };
  RunInParallel(
      12, 5, [](std::size_t i) { return i < 4 ? std::string("spooler") : std::string(); },
      [&](std::size_t i) {
        count(i, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        count(i, -1);
      });
  EXPECT_EQ(started.size(), 12u);
  std::erase_if(started, [](std::size_t i) { return i >= 4; });
  EXPECT_EQ(started, (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_EQ(peak["spooler"], 1);
  EXPECT_GT(peak["own"], 1);
  EXPECT_LE(peak["total"], 5);
}

}  // namespace
}  // namespace rovant::fleet
