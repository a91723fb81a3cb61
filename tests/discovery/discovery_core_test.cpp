// Address ranges, telling our printers from other devices, the results, adding to an inventory.
#include <gtest/gtest.h>

#include <tuple>

#include "discovery/address_range.hpp"
#include "discovery/discovered.hpp"
#include "discovery/identify.hpp"
#include "discovery/inventory_merge.hpp"
#include "fleet/yaml_files.hpp"

namespace rovant::discovery {
namespace {

std::uint32_t Ip(const char* text) { return ParseAddress(text).value(); }

TEST(AddressRangeTest, ParsesAndRefusesAsTheTableSays) {
  // Text, --force, and the first and last address asked, or part of the refusal.
  const std::tuple<const char*, bool, std::string> cases[] = {
      {"10.20.1.0/24", false, "10.20.1.1-10.20.1.254"},
      {"10.20.1.7", false, "10.20.1.7-10.20.1.7"},
      {"10.20.1.7/32", false, "10.20.1.7-10.20.1.7"},
      {"10.20.1.6/31", false, "10.20.1.6-10.20.1.7"},
      {"10.20.1.4/30", false, "10.20.1.5-10.20.1.6"},
      {"10.20.0.0/16", false, "10.20.0.1-10.20.255.254"},
      {"10.20.0.0/15", false, "more than a /16; give --force"},
      {"10.20.0.0/15", true, "10.20.0.1-10.21.255.254"},
      {"0.0.0.0/0", true, "0.0.0.1-255.255.255.254"},
      {"10.20.1.5/24", false, "host bits set; the range starts at 10.20.1.0/24"},
      {"10.20.1.0/33", false, "prefix length"},
      {"10.20.1.0/", false, "prefix length"},
      {"10.20.1.0/024", false, "prefix length"},
      {"10.20.1.256", false, "not an IPv4 address"},
      {"10.20.01.1", false, "not an IPv4 address"},
      {"10.20.1", false, "not an IPv4 address"},
      {"10.20.1.1.1", false, "not an IPv4 address"},
      {"10.20.+1.1", false, "not an IPv4 address"},
      {"printer.local", false, "not an IPv4 address"},
      {"", false, "not an IPv4 address"},
  };
  for (const auto& [text, force, want] : cases) {
    const Expected<AddressRange> range = ParseRange(text, force);
    if (range) {
      EXPECT_EQ(FormatAddress(range->first) + "-" + FormatAddress(range->last), want) << text;
    } else {
      EXPECT_NE(range.error().find(want), std::string::npos) << text << ": " << range.error();
    }
  }
}

TEST(AddressRangeTest, MergesOverlappingAndTouchingRangesSoEachAddressIsAskedOnce) {
  const std::vector<AddressRange> merged =
      MergeRanges({{Ip("10.0.0.20"), Ip("10.0.0.30")},
                   {Ip("10.0.0.1"), Ip("10.0.0.10")},
                   {Ip("10.0.0.11"), Ip("10.0.0.12")},
                   {Ip("10.0.0.25"), Ip("10.0.0.40")},
                   {Ip("255.255.255.255"), Ip("255.255.255.255")}});
  std::vector<std::string> texts;
  for (const AddressRange& r : merged)
    texts.push_back(FormatAddress(r.first) + "-" + FormatAddress(r.last));
  EXPECT_EQ(texts, (std::vector<std::string>{"10.0.0.1-10.0.0.12", "10.0.0.20-10.0.0.40",
                                             "255.255.255.255-255.255.255.255"}));
  EXPECT_EQ(CountAddresses(merged), 12u + 21u + 1u);
}

TEST(IdentifyTest, NamesOurModelsOnlyWhenTheDescriptionsAgree) {
  // The system's description, the device's, and the model they name.
  const std::tuple<const char*, const char*, std::optional<ModelCode>> cases[] = {
      {"Vek HX320 serial impact printer", "", ModelCode::kHx320},
      {"", "Vek HX310", ModelCode::kHx310},
      {"Linux print server 6.1", "vek hx320 (LPT1)", ModelCode::kHx320},
      {"Vek HX310", "Vek HX310", ModelCode::kHx310},
      {"Vek HX310", "Vek HX320", std::nullopt},        // they disagree
      {"Vek HX320", "Acme LaserJet 9", std::nullopt},  // the device is something else
      {"Vek HX310/HX320 family", "", std::nullopt},    // names both
      {"Acme HX3200 laser", "", std::nullopt},
      {"Acme XHX320", "", std::nullopt},
      {"HX320-compatible", "", ModelCode::kHx320},
      {"Acme LaserJet 9 on port 9100", "Acme LaserJet 9", std::nullopt},
      {"", "", std::nullopt},
  };
  for (const auto& [sysDescr, deviceDescr, model] : cases) {
    EXPECT_EQ(IdentifyPrinter(sysDescr, deviceDescr), model) << sysDescr << " | " << deviceDescr;
  }
}

TEST(DiscoveredTest, ListsOnlyOurPrintersThatAnsweredInAddressOrder) {
  std::vector<AgentReply> replies = {
      {Ip("10.0.0.9"), true, "Vek HX320", "Vek HX320 printer", ""},
      {Ip("10.0.0.3"), true, "Vek HX310 \x01\xff", "", ""},
      {Ip("10.0.0.4"), true, "Acme LaserJet", "Acme LaserJet", ""},
      {Ip("10.0.0.5"), false, "Vek HX320", "", ""},
  };
  const std::vector<FoundPrinter> found = PrintersAmong(replies);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].address, "10.0.0.3");
  EXPECT_EQ(found[0].model, ModelCode::kHx310);
  EXPECT_EQ(found[0].description, "Vek HX310 ??");
  EXPECT_EQ(found[0].printer, "tcp://10.0.0.3");
  EXPECT_EQ(found[1].address, "10.0.0.9");
  EXPECT_EQ(found[1].description, "Vek HX320 printer");  // the device's, when it has one
}

FoundPrinter Found(const char* address, ModelCode model) {
  return {address, model, "", PrinterForm(address), "", "", ""};
}

const std::vector<FoundPrinter> kTwo = {Found("10.0.0.3", ModelCode::kHx310),
                                        Found("10.0.0.9", ModelCode::kHx320)};

TEST(InventoryMergeTest, KeepsListedPrintersTheirNamesAndDefaultsAndAvoidsTakenNames) {
  const std::string existing =
      "defaults: {model: HX310, groups: [site]}\n"
      "printers:\n"
      "  - {name: dock-01, printer: \"tcp://10.0.0.3:9100\", groups: [dock]}\n"
      "  - {name: hx320-10-0-0-9, printer: \"tcp://10.0.0.99\", model: HX320}\n";
  const auto merged = MergeIntoInventory(existing, kTwo);
  ASSERT_TRUE(merged) << merged.error();
  EXPECT_EQ(merged->kept, std::vector<std::string>{"dock-01"});
  EXPECT_EQ(merged->added, std::vector<std::string>{"hx320-10-0-0-9-2"});
  fleet::Inventory inventory;
  const auto anyPrinter = [](const std::string&) { return std::nullopt; };
  ASSERT_TRUE(fleet::ParseInventoryYaml(merged->text, inventory, anyPrinter).empty())
      << merged->text;
  ASSERT_EQ(inventory.printers.size(), 3u);
  EXPECT_EQ(inventory.printers[0].name, "dock-01");
  EXPECT_EQ(inventory.printers[0].groups, std::vector<std::string>{"dock"});
  EXPECT_EQ(inventory.printers[1].printer, "tcp://10.0.0.99");
  EXPECT_EQ(inventory.printers[2].printer, "tcp://10.0.0.9");
  EXPECT_EQ(inventory.printers[2].model, ModelCode::kHx320);  // not the defaults' model
  EXPECT_EQ(inventory.printers[2].groups, std::vector<std::string>{"site"});

  // Merging the same printers again changes nothing.
  const auto again = MergeIntoInventory(merged->text, kTwo);
  ASSERT_TRUE(again) << again.error();
  EXPECT_TRUE(again->added.empty());
  EXPECT_EQ(again->text, merged->text);
}

TEST(InventoryMergeTest, RefusesAnInventoryFleetWouldRefuse) {
  const std::string existing =
      "printers:\n"
      "  - {name: a, printer: \"tcp://10.0.0.1\"}\n"
      "  - {name: a, printer: \"tcp://10.0.0.2\"}\n";
  const auto twice = MergeIntoInventory(existing, {Found("10.0.0.3", ModelCode::kHx310)});
  ASSERT_FALSE(twice);
  EXPECT_NE(twice.error().find("line 3"), std::string::npos) << twice.error();
  EXPECT_FALSE(MergeIntoInventory(std::string("printers: [\n"), {}));
}

}  // namespace
}  // namespace rovant::discovery
