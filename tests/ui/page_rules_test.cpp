#include "ui/page_rules.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "model/catalogue.hpp"
#include "tests/ui/fake_page_view.hpp"
#include "ui/page_layout.hpp"

namespace rovant::ui {
namespace {

using testing::FakePageView;

constexpr std::uint8_t kEmulations[] = {kDpl24cPlus, kXl24e, kEscP2};
constexpr PageIndex kMenuPages[] = {kMenu1Page, kMenu2Page};
constexpr PageIndex kAllPages[] = {kMenu1Page, kMenu2Page, kHardwarePage, kAdjustPage, kConfigPage};

// A page as it is created: every list filled, then loaded from the record.
void CreatePage(PageIndex page, const SettingsRecord& record, ModelCode model, FakePageView& view) {
  FillPageLists(page, record, view);
  LoadPageFromRecord(page, record, model, view);
}

std::vector<std::string> Texts(OptionList list) {
  std::vector<std::string> out;
  for (const OptionLabel& label : list) out.emplace_back(label.view());
  return out;
}

const PageRow& RowOf(PageIndex page, std::string_view item) {
  for (const PageRow& row : PageAt(page).rows)
    if (row.item == item) return row;
  throw std::logic_error("no row " + std::string(item));
}

// The factory record with both menu blocks under the given emulation.
SettingsRecord RecordUnder(std::uint8_t emulation) {
  SettingsRecord record = kFactoryDefaults;
  ApplyEmulationReset(record, MenuBlock::kMenu1, emulation);
  ApplyEmulationReset(record, MenuBlock::kMenu2, emulation);
  return record;
}

// A record in which every byte differs from the factory defaults where possible (and stays in
// its list), so that stores and resets can be told apart.
SettingsRecord Scrambled(std::uint8_t emulation) {
  SettingsRecord record = RecordUnder(emulation);
  for (ItemIndex i = 0; i < kItemCount; ++i) {
    if (i == kMenu1Emulate || i == kMenu2Emulate) continue;
    const std::size_t size = ListInForce(i, record).size();
    record[i] = static_cast<std::uint8_t>((record[i] + 1) % size);
  }
  return record;
}

// ---- The layout against the design's tables ----

TEST(PageLayout, TooltipOrderOfEveryPage) {
  const std::vector<ControlId> buttons{1053, 1052, 1050, 1051};
  auto expect = [&](PageIndex page, std::vector<ControlId> labels) {
    std::vector<ControlId> want = buttons;
    want.insert(want.end(), labels.begin(), labels.end());
    const TooltipOrder order = TooltipToolsOf(PageAt(page));
    EXPECT_EQ(std::vector<ControlId>(order.view().begin(), order.view().end()), want) << page;
  };
  std::vector<ControlId> menu1, menu2, hardware, adjust, config;
  for (ControlId id = 1123; id <= 1146; ++id)
    if (id != 1133) menu1.push_back(id);
  for (ControlId id = 1170; id <= 1192; ++id) menu2.push_back(id);
  for (ControlId id = 1207; id <= 1220; ++id) hardware.push_back(id);
  for (ControlId id = 1231; id <= 1240; ++id) adjust.push_back(id);
  for (ControlId id = 1241; id <= 1257; ++id) config.push_back(id);
  expect(kMenu1Page, menu1);
  expect(kMenu2Page, menu2);
  expect(kHardwarePage, hardware);
  expect(kAdjustPage, adjust);
  expect(kConfigPage, config);
}

TEST(PageLayout, RowsHaveTheirRecordIndexAndGeometry) {
  EXPECT_EQ(RowOf(kMenu2Page, "ZEROFNT").comboId, 1165);
  EXPECT_EQ(RowOf(kMenu2Page, "ZEROFNT").record, 42);
  EXPECT_EQ(RowOf(kMenu2Page, "DC3-CDE").comboId, 1166);
  EXPECT_EQ(RowOf(kMenu2Page, "DC3-CDE").record, 41);
  EXPECT_EQ(RowOf(kMenu1Page, "PG LX1").labelId, 1134);
  const PageRow& bufferRow = RowOf(kHardwarePage, "BUFFER");
  EXPECT_EQ(LabelRect(bufferRow), (UnitRect{1, 59, 40, 8}));
  EXPECT_EQ(ComboRect(bufferRow), (UnitRect{50, 57, 65, 108}));
  const PageRow& tof = RowOf(kConfigPage, "TOF-CTL");
  EXPECT_EQ(LabelRect(tof), (UnitRect{150, 59, 40, 8}));
  EXPECT_EQ(ComboRect(tof), (UnitRect{199, 57, 65, 48}));
  EXPECT_TRUE(RowOf(kAdjustPage, "CNT-ORG").scroll);
  EXPECT_FALSE(RowOf(kAdjustPage, "CUT-ADJ").scroll);
}

// ---- Loading, for every page under every emulation ----

class LoadEveryPage : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t>> {};

TEST_P(LoadEveryPage, ListsInForceSelectionsAndEnabledStates) {
  const auto [page, emulation] = GetParam();
  for (ModelCode model : {ModelCode::kHx320, ModelCode::kHx310, ModelCode::kOther}) {
    const SettingsRecord record = Scrambled(emulation);
    FakePageView view;
    CreatePage(page, record, model, view);
    for (const PageRow& row : PageAt(page).rows) {
      SCOPED_TRACE(std::string(row.item));
      const auto& combo = view.combos.at(row.comboId);
      EXPECT_EQ(combo.items, Texts(ListInForce(row.record, record)));
      EXPECT_EQ(combo.selection, record[row.record]);
      bool enabled = true;
      const ItemInfo& info = kCatalogue[row.record];
      if (info.readOnly) {
        enabled = false;
      } else if (info.condition == Condition::kWidthModel ||
                 info.condition == Condition::kModelIsNotHx310) {
        enabled = model != ModelCode::kHx310;
      } else {
        enabled = InEffect(row.record, record, model);
      }
      EXPECT_EQ(view.RowEnabled(row), enabled);
    }
    EXPECT_TRUE(view.BoxesShown().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(PagesAndEmulations, LoadEveryPage,
                         ::testing::Combine(::testing::ValuesIn(kAllPages),
                                            ::testing::ValuesIn(kEmulations)));

TEST(LoadPage, ZeroRecordShowsDplAndPositionZero) {
  const SettingsRecord record{};
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.Text(1100), "DPL24C+");
  EXPECT_EQ(view.combos.at(1101).items.size(), 19u);
  EXPECT_FALSE(view.RowEnabled(RowOf(kMenu1Page, "PG LX10")));
  EXPECT_FALSE(view.RowEnabled(RowOf(kMenu1Page, "AGM")));
  EXPECT_TRUE(view.RowEnabled(RowOf(kMenu1Page, "DC3-CDE")));
  EXPECT_FALSE(view.labels.at(1132));  // PG LX10's label
}

TEST(LoadPage, MenuStepsInOrder) {
  // The switched lists are emptied and refilled right before their selection.
  SettingsRecord record = RecordUnder(kEscP2);
  FakePageView view;
  LoadPageFromRecord(kMenu1Page, record, ModelCode::kHx320, view);
  std::vector<std::string> resets;
  for (const std::string& call : view.log.calls)
    if (call.rfind("reset", 0) == 0) resets.push_back(call);
  EXPECT_EQ(resets,
            (std::vector<std::string>{"reset 1101", "reset 1105", "reset 1106", "reset 1107",
                                      "reset 1108", "reset 1113", "reset 1114"}));
  EXPECT_EQ(view.log.calls.front(), "select 1100 2");
  EXPECT_EQ(view.Text(1114), "ITALIC ");
  EXPECT_EQ(view.combos.at(1113).items.size(), 63u);
  EXPECT_EQ(view.Text(1113), "PAGE437");
}

TEST(LoadPage, RefreshAfterRecordChangeRebuildsLists) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu2Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.combos.at(1148).items.size(), 19u);
  ApplyEmulationReset(record, MenuBlock::kMenu2, kXl24e);
  LoadPageFromRecord(kMenu2Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.combos.at(1148).items.size(), 18u);
  EXPECT_EQ(view.combos.at(1152).items, Texts(lists::kCharScaleXl));
  EXPECT_TRUE(view.RowEnabled(RowOf(kMenu2Page, "AGM")));
  EXPECT_FALSE(view.RowEnabled(RowOf(kMenu2Page, "DC3-CDE")));
  EXPECT_EQ(view.Text(1168), "LF ONLY");
}

// ---- EMULATE change ----

class EmulateChange
    : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t, std::uint8_t>> {};

TEST_P(EmulateChange, ShowsTheBoxResetsItsBlockOnly) {
  const auto [page, from, to] = GetParam();
  const PageLayout& layout = PageAt(page);
  const MenuBlock block = layout.block;
  const BlockInfo& info = InfoOf(block);
  SettingsRecord record = Scrambled(from);
  FakePageView view;
  CreatePage(page, record, ModelCode::kHx320, view);
  const SettingsRecord before = record;

  view.Pick(layout.firstAnchor, to);
  OnSelectionChange(page, record, ModelCode::kHx320, view);

  ASSERT_EQ(view.BoxesShown().size(), 1u);
  const MessageBoxRequest& box = view.BoxesShown()[0];
  EXPECT_EQ(box.owner, kNoWindow);
  EXPECT_EQ(box.style, 0x40u);  // MB_OK | MB_ICONINFORMATION
  EXPECT_EQ(box.icon, 0u);
  EXPECT_EQ(box.text,
            "When EMULATION is changed, other items return to the default value.\nIf you would "
            "like to change the item of MENU fuction, change it from EMULATION.");

  SettingsRecord expected = before;
  ApplyEmulationReset(expected, block, to);
  EXPECT_EQ(record, expected);
  for (ItemIndex i = 0; i < kItemCount; ++i) {
    if (i >= info.first && i < info.first + info.count) continue;
    EXPECT_EQ(record[i], before[i]) << "item " << i << " outside the block";
  }
  // The page shows the reset block with the new lists.
  for (const PageRow& row : layout.rows) {
    SCOPED_TRACE(std::string(row.item));
    EXPECT_EQ(view.combos.at(row.comboId).items, Texts(ListInForce(row.record, record)));
    EXPECT_EQ(view.combos.at(row.comboId).selection, record[row.record]);
  }
  EXPECT_FALSE(view.RowEnabled(RowOf(page, "PG LX10")));
  EXPECT_FALSE(view.RowEnabled(RowOf(page, "PG LX1")));
  EXPECT_EQ(view.Text(RowOf(page, "PG LX10").comboId), "60 LINE");
  EXPECT_EQ(view.Text(RowOf(page, "PG LX1").comboId), "6  LINE");
  EXPECT_EQ(view.Text(RowOf(page, "PAGE LG").comboId), "11.0 IN");
  EXPECT_EQ(view.Text(RowOf(page, "LANGUGE").comboId), "PAGE437");
  EXPECT_EQ(view.RowEnabled(RowOf(page, "AGM")), to == kXl24e);
  EXPECT_EQ(view.RowEnabled(RowOf(page, "ZEROFNT")), to != kEscP2);
  EXPECT_EQ(view.RowEnabled(RowOf(page, "DC3-CDE")), to == kDpl24cPlus);
  EXPECT_EQ(view.RowEnabled(RowOf(page, "LF-CODE")), to != kEscP2);

  // Selecting "LINE   " in PAGE LG enables PG LX10 and PG LX1 at once.
  const int line = to == kEscP2 ? 37 : 14;
  view.Pick(RowOf(page, "PAGE LG").comboId, line);
  OnSelectionChange(page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.BoxesShown().size(), 1u);
  EXPECT_EQ(record[info.first + kPageLengthOffset], line);
  EXPECT_TRUE(view.RowEnabled(RowOf(page, "PG LX10")));
  EXPECT_TRUE(view.RowEnabled(RowOf(page, "PG LX1")));
}

std::vector<std::tuple<PageIndex, std::uint8_t, std::uint8_t>> EmulationChanges() {
  std::vector<std::tuple<PageIndex, std::uint8_t, std::uint8_t>> out;
  for (PageIndex page : kMenuPages)
    for (std::uint8_t from : kEmulations)
      for (std::uint8_t to : kEmulations)
        if (from != to) out.emplace_back(page, from, to);
  return out;
}

INSTANTIATE_TEST_SUITE_P(MenusAndEmulations, EmulateChange,
                         ::testing::ValuesIn(EmulationChanges()));

TEST(EmulateChangeDetail, Menu1ChangeLeavesMenu2AndOtherBlocks) {
  SettingsRecord record = Scrambled(kDpl24cPlus);
  const SettingsRecord before = record;
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx320, view);
  view.Pick(1100, kXl24e);
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx320, view);
  for (ItemIndex i = 23; i < kItemCount; ++i) EXPECT_EQ(record[i], before[i]) << i;
  EXPECT_EQ(record[0], kXl24e);
  EXPECT_EQ(record[21], 0);  // LF-CODE "LF ONLY" under XL24E
  EXPECT_EQ(view.Text(1121), "LF ONLY");
}

TEST(EmulateChangeDetail, SelectionIsReadAgainAfterTheBox) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx320, view);
  view.Pick(1100, kXl24e);
  view.whileBoxIsOpen = [&] { view.Pick(1100, kEscP2); };
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[0], kEscP2);
  EXPECT_EQ(record[8], 14);   // ESC/P2 reset: PAGE LG "11.0 IN"
  EXPECT_EQ(record[13], 12);  // LANGUGE "PAGE437" in the list of 63
  EXPECT_EQ(view.combos.at(1108).items.size(), 38u);
}

TEST(EmulateChangeDetail, ArrowStepsShowTheBoxEachTime) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx320, view);
  view.Pick(1100, 1);
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx320, view);
  view.Pick(1100, 2);
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.BoxesShown().size(), 2u);
  EXPECT_EQ(record[0], 2);
}

TEST(EmulateChangeDetail, WidthRuleIsNotAppliedAfterTheChangeButStaysDisabled) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx310, view);
  view.log.calls.clear();
  view.Pick(1100, kEscP2);
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx310, view);
  for (const std::string& call : view.log.calls) EXPECT_NE(call, "enable 1117 0");
  EXPECT_FALSE(view.RowEnabled(RowOf(kMenu1Page, "WIDTH")));  // nothing enabled it again
  EXPECT_EQ(view.Text(1117), "13.6 IN");
}

// ---- Unchanged EMULATE ----

class UnchangedEmulate : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t>> {};

TEST_P(UnchangedEmulate, CloseUpStoresAll23RowsWithoutBox) {
  const auto [page, emulation] = GetParam();
  const PageLayout& layout = PageAt(page);
  SettingsRecord record = RecordUnder(emulation);
  FakePageView view;
  CreatePage(page, record, ModelCode::kHx320, view);
  // The user has picked other entries in every row but EMULATE, disabled rows included.
  SettingsRecord expected = record;
  for (std::size_t k = 1; k < layout.rows.size(); ++k) {
    const PageRow& row = layout.rows[k];
    const auto size = view.combos.at(row.comboId).items.size();
    const int pick = static_cast<int>((record[row.record] + 1) % size);
    view.Pick(row.comboId, pick);
    expected[row.record] = static_cast<std::uint8_t>(pick);
  }
  OnSelectionChange(page, record, ModelCode::kHx320, view);  // CBN_CLOSEUP on EMULATE
  EXPECT_TRUE(view.BoxesShown().empty());
  EXPECT_EQ(record, expected);
  if (page == kMenu2Page) {
    EXPECT_EQ(record[42], view.combos.at(1165).selection);  // ZEROFNT
    EXPECT_EQ(record[41], view.combos.at(1166).selection);  // DC3-CDE
  }
}

INSTANTIATE_TEST_SUITE_P(MenusAndEmulations, UnchangedEmulate,
                         ::testing::Combine(::testing::ValuesIn(kMenuPages),
                                            ::testing::ValuesIn(kEmulations)));

TEST(UnchangedEmulateDetail, Menu2StoresZeroFontAt42AndDc3At41) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu2Page, record, ModelCode::kHx320, view);
  view.Pick(1165, 1);  // ZEROFNT "SLASH  "
  view.Pick(1166, 0);  // DC3-CDE "ENABLE "
  record[41] = 1;
  OnSelectionChange(kMenu2Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[42], 1);
  EXPECT_EQ(record[41], 0);
  EXPECT_EQ(record[18], 0);  // MENU1 untouched
}

// ---- PG LX10 / PG LX1 follow PAGE LG ----

class PageLengthRule : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t>> {};

TEST_P(PageLengthRule, LineEntryEnablesBothRows) {
  const auto [page, emulation] = GetParam();
  SettingsRecord record = RecordUnder(emulation);
  FakePageView view;
  CreatePage(page, record, ModelCode::kHx320, view);
  const PageRow& pageLength = RowOf(page, "PAGE LG");
  const PageRow& tens = RowOf(page, "PG LX10");
  const PageRow& units = RowOf(page, "PG LX1");
  const int line = emulation == kEscP2 ? 37 : 14;
  EXPECT_EQ(view.combos.at(pageLength.comboId).items.at(static_cast<std::size_t>(line)), "LINE   ");
  for (int position = 0;
       position < static_cast<int>(view.combos.at(pageLength.comboId).items.size()); ++position) {
    view.Pick(pageLength.comboId, position);
    OnSelectionChange(page, record, ModelCode::kHx320, view);
    EXPECT_EQ(record[pageLength.record], position);
    EXPECT_EQ(view.RowEnabled(tens), position == line) << position;
    EXPECT_EQ(view.RowEnabled(units), position == line) << position;
    EXPECT_EQ(ValidFocusTarget(page, record, tens.comboId) == tens.comboId, position == line);
    EXPECT_EQ(ValidFocusTarget(page, record, units.comboId) == units.comboId, position == line);
  }
  if (emulation == kEscP2) {
    view.Pick(pageLength.comboId, 14);
    OnSelectionChange(page, record, ModelCode::kHx320, view);
    EXPECT_EQ(view.Text(pageLength.comboId), "11.0 IN");
    EXPECT_FALSE(view.RowEnabled(tens));
    EXPECT_FALSE(view.RowEnabled(units));
  }
  EXPECT_TRUE(view.BoxesShown().empty());
}

INSTANTIATE_TEST_SUITE_P(MenusAndEmulations, PageLengthRule,
                         ::testing::Combine(::testing::ValuesIn(kMenuPages),
                                            ::testing::ValuesIn(kEmulations)));

// ---- Model rules ----

TEST(ModelRules, Hx310DisablesWidthAndCsfAdjustButKeepsTheirValues) {
  SettingsRecord record = kFactoryDefaults;
  record[17] = 1;  // MENU1 WIDTH "11.0 IN"
  record[40] = 2;  // MENU2 WIDTH "11.4 IN"
  record[67] = 5;  // CSF-ADJ "14 /360"
  for (PageIndex page : {kMenu1Page, kMenu2Page, kAdjustPage}) {
    FakePageView view;
    CreatePage(page, record, ModelCode::kHx310, view);
    const PageRow& row = RowOf(page, page == kAdjustPage ? "CSF-ADJ" : "WIDTH");
    EXPECT_FALSE(view.RowEnabled(row)) << page;
    EXPECT_EQ(view.combos.at(row.comboId).selection, record[row.record]);
    SettingsRecord stored = record;
    stored[row.record] = 0;
    StorePageSelections(page, view, stored);
    EXPECT_EQ(stored, record) << page;
    if (page != kAdjustPage) {
      OnSelectionChange(page, stored, ModelCode::kHx310, view);
      EXPECT_EQ(stored, record) << page;
    }
  }
}

TEST(ModelRules, Hx320AndOtherKeepWidthAndCsfAdjustEnabled) {
  for (ModelCode model : {ModelCode::kHx320, ModelCode::kOther}) {
    for (PageIndex page : {kMenu1Page, kMenu2Page, kAdjustPage}) {
      FakePageView view;
      CreatePage(page, kFactoryDefaults, model, view);
      EXPECT_TRUE(view.RowEnabled(RowOf(page, page == kAdjustPage ? "CSF-ADJ" : "WIDTH")));
    }
  }
}

// ---- CONFIG ----

TEST(ConfigRules, TearOffAndCutLoadRuleImmediately) {
  SettingsRecord record = kFactoryDefaults;  // TEAROFF "MANUAL ", CUTLOAD "AUTO   "
  FakePageView view;
  CreatePage(kConfigPage, record, ModelCode::kHx320, view);
  const PageRow& tearEn = RowOf(kConfigPage, "TEAR-EN");
  const PageRow& loadTime = RowOf(kConfigPage, "LOADTIM");
  EXPECT_FALSE(view.RowEnabled(tearEn));
  EXPECT_TRUE(view.RowEnabled(loadTime));
  EXPECT_EQ(ValidFocusTarget(kConfigPage, record, 1260), IDC_READ);
  EXPECT_EQ(ValidFocusTarget(kConfigPage, record, 1262), 1262);

  view.Pick(1258, 1);  // TEAROFF "AUTO   "
  view.Pick(1263, 1);  // DECODE: reaches the record only through StorePageSelections
  OnSelectionChange(kConfigPage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[70], 1);
  EXPECT_EQ(record[75], 0);
  EXPECT_TRUE(view.RowEnabled(tearEn));
  EXPECT_EQ(ValidFocusTarget(kConfigPage, record, 1260), 1260);

  view.Pick(1261, 1);  // CUTLOAD "BUTTON "
  OnSelectionChange(kConfigPage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[73], 1);
  EXPECT_FALSE(view.RowEnabled(loadTime));
  EXPECT_EQ(ValidFocusTarget(kConfigPage, record, 1262), IDC_READ);

  StorePageSelections(kConfigPage, view, record);
  EXPECT_EQ(record[75], 1);
  EXPECT_TRUE(view.BoxesShown().empty());
}

TEST(ConfigRules, StatusAlwaysDisabledKeepsItsValue) {
  for (const std::uint8_t status : {std::uint8_t{0}, std::uint8_t{1}}) {
    SettingsRecord record = kFactoryDefaults;
    record[kStatusItem] = status;
    FakePageView view;
    CreatePage(kConfigPage, record, ModelCode::kHx320, view);
    const PageRow& row = RowOf(kConfigPage, "STATUS");
    EXPECT_FALSE(view.RowEnabled(row));
    OnSelectionChange(kConfigPage, record, ModelCode::kHx320, view);
    LoadPageFromRecord(kConfigPage, record, ModelCode::kHx320, view);
    EXPECT_FALSE(view.RowEnabled(row));
    SettingsRecord stored = record;
    StorePageSelections(kConfigPage, view, stored);
    EXPECT_EQ(stored[kStatusItem], status);
    EXPECT_EQ(ValidFocusTarget(kConfigPage, record, row.comboId), row.comboId);
  }
}

// ---- HARDWARE and ADJUST ----

TEST(HardwareRules, RowsFiveToThirteenAlwaysDisabled) {
  const SettingsRecord record = Scrambled(kDpl24cPlus);
  FakePageView view;
  CreatePage(kHardwarePage, record, ModelCode::kHx320, view);
  for (int pass = 0; pass < 2; ++pass) {
    const auto& rows = PageAt(kHardwarePage).rows;
    for (std::size_t k = 0; k < rows.size(); ++k) {
      EXPECT_EQ(view.RowEnabled(rows[k]), k < 5) << rows[k].item;
      EXPECT_EQ(ValidFocusTarget(kHardwarePage, record, rows[k].comboId), rows[k].comboId);
    }
    LoadPageFromRecord(kHardwarePage, record, ModelCode::kHx320, view);  // a refresh
  }
  SettingsRecord stored{};
  StorePageSelections(kHardwarePage, view, stored);
  for (ItemIndex i = 46; i < 60; ++i) EXPECT_EQ(stored[i], record[i]) << i;
}

TEST(AdjustRules, SelectionReachesTheRecordOnlyWhenStored) {
  SettingsRecord record = kFactoryDefaults;
  FakePageView view;
  CreatePage(kAdjustPage, record, ModelCode::kHx320, view);
  view.Pick(1221, 3);  // CNT-ORG "3 /6 IN"
  OnSelectionChange(kAdjustPage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record, kFactoryDefaults);
  StorePageSelections(kAdjustPage, view, record);
  EXPECT_EQ(record[60], 3);
  EXPECT_EQ(view.Text(1221), "3 /6 IN");
}

TEST(HardwareRules, SelectionChangeIsIgnored) {
  SettingsRecord record = kFactoryDefaults;
  FakePageView view;
  CreatePage(kHardwarePage, record, ModelCode::kHx320, view);
  view.Pick(1193, 0);
  view.log.calls.clear();
  OnSelectionChange(kHardwarePage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record, kFactoryDefaults);
  EXPECT_TRUE(view.log.calls.empty());
}

// ---- Out-of-range bytes ----

class OutOfRange : public ::testing::TestWithParam<std::uint8_t> {};

// A damaged byte leaves its combo empty; storing the page gives the value the block's emulation
// resets the item to on a MENU page (under ESC/P2 PAGE LG "11.0 IN", not the factory "8.5  IN"),
// the factory default elsewhere.
TEST_P(OutOfRange, LeavesNoSelectionAndStoresTheBlocksDefault) {
  SettingsRecord record = RecordUnder(GetParam());
  for (ItemIndex item : {ItemIndex{1}, ItemIndex{8}, ItemIndex{13}, ItemIndex{31}, ItemIndex{36}}) {
    record[item] = 200;  // FONT, PAGE LG, LANGUGE (MENU1), PAGE LG, LANGUGE (MENU2)
  }
  record[60] = 67;  // CNT-ORG
  record[kStatusItem] = 9;
  for (PageIndex page : kAllPages) {
    FakePageView view;
    CreatePage(page, record, ModelCode::kHx320, view);
    SettingsRecord stored = record;
    StorePageSelections(page, view, stored);
    for (const PageRow& row : PageAt(page).rows) {
      SCOPED_TRACE(std::string(row.item));
      if (record[row.record] < ListInForce(row.record, record).size()) {
        EXPECT_EQ(stored[row.record], record[row.record]);
        continue;
      }
      EXPECT_EQ(view.combos.at(row.comboId).selection, kNoSelection);
      const bool menu = page == kMenu1Page || page == kMenu2Page;
      EXPECT_EQ(stored[row.record], menu ? kEmulationReset[GetParam()][kCatalogue[row.record].twin]
                                         : kCatalogue[row.record].factoryDefault);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Emulations, OutOfRange, ::testing::ValuesIn(kEmulations));

TEST(OutOfRangeEmulate, DamagedEmulateIsResetWithTheBox) {
  SettingsRecord record = kFactoryDefaults;
  record[23] = 7;
  FakePageView view;
  CreatePage(kMenu2Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.combos.at(1147).selection, kNoSelection);
  OnSelectionChange(kMenu2Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(view.BoxesShown().size(), 1u);
  EXPECT_EQ(record[23], 0);
  EXPECT_EQ(view.Text(1147), "DPL24C+");
  for (ItemIndex i = 23; i < 46; ++i) EXPECT_EQ(record[i], kFactoryDefaults[i]) << i;
}

// ---- ValidFocusTarget ----

struct FocusCase {
  PageIndex page;
  const char* item;
  std::uint8_t emulation;
  bool movesToRead;
};

class FocusTarget : public ::testing::TestWithParam<FocusCase> {};

TEST_P(FocusTarget, RuleAndUnexaminedRows) {
  const FocusCase& c = GetParam();
  SettingsRecord record = RecordUnder(c.emulation);
  const PageRow& row = RowOf(c.page, c.item);
  EXPECT_EQ(ValidFocusTarget(c.page, record, row.comboId),
            c.movesToRead ? IDC_READ : static_cast<int>(row.comboId));
  // The label, a control of another page and the buttons are returned unchanged.
  EXPECT_EQ(ValidFocusTarget(c.page, record, row.labelId), row.labelId);
  EXPECT_EQ(ValidFocusTarget(c.page, record, IDC_TRANSFER), IDC_TRANSFER);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FocusTarget,
    ::testing::Values(
        // PG LX10 / PG LX1: PAGE LG after the reset is "11.0 IN".
        FocusCase{kMenu1Page, "PG LX10", kDpl24cPlus, true},
        FocusCase{kMenu2Page, "PG LX1", kEscP2, true},
        FocusCase{kMenu1Page, "AGM", kDpl24cPlus, true},
        FocusCase{kMenu1Page, "AGM", kXl24e, false}, FocusCase{kMenu2Page, "AGM", kEscP2, true},
        FocusCase{kMenu1Page, "ZEROFNT", kEscP2, true},
        FocusCase{kMenu2Page, "ZEROFNT", kEscP2, true},
        FocusCase{kMenu2Page, "ZEROFNT", kXl24e, false},
        FocusCase{kMenu1Page, "DC3-CDE", kDpl24cPlus, false},
        FocusCase{kMenu1Page, "DC3-CDE", kXl24e, true},
        FocusCase{kMenu2Page, "DC3-CDE", kEscP2, true},
        FocusCase{kMenu1Page, "LF-CODE", kEscP2, true},
        FocusCase{kMenu2Page, "LF-CODE", kDpl24cPlus, false},
        // Never examined.
        FocusCase{kMenu1Page, "WIDTH", kDpl24cPlus, false},
        FocusCase{kMenu1Page, "EMULATE", kEscP2, false},
        FocusCase{kMenu2Page, "FONT", kXl24e, false},
        FocusCase{kAdjustPage, "CSF-ADJ", kDpl24cPlus, false},
        FocusCase{kHardwarePage, "INTRFCE", kDpl24cPlus, false},
        FocusCase{kHardwarePage, "CSFTYPE", kDpl24cPlus, false},
        FocusCase{kConfigPage, "STATUS", kDpl24cPlus, false},
        FocusCase{kConfigPage, "TEAR-EN", kDpl24cPlus, true},  // TEAROFF "MANUAL "
        FocusCase{kConfigPage, "LOADTIM", kDpl24cPlus, false}));

TEST(FocusTargetDetail, OnlyTheCurrentPageIsExamined) {
  const SettingsRecord record = RecordUnder(kEscP2);
  // MENU1's ZEROFNT id while CONFIG or MENU2 is current: not a row of that page.
  EXPECT_EQ(ValidFocusTarget(kConfigPage, record, 1118), 1118);
  EXPECT_EQ(ValidFocusTarget(kMenu2Page, record, 1118), 1118);
  EXPECT_EQ(ValidFocusTarget(kMenu1Page, record, 1118), IDC_READ);
  // MENU2 looks at its own EMULATE only.
  SettingsRecord mixed = RecordUnder(kDpl24cPlus);
  ApplyEmulationReset(mixed, MenuBlock::kMenu2, kEscP2);
  EXPECT_EQ(ValidFocusTarget(kMenu1Page, mixed, 1118), 1118);
  EXPECT_EQ(ValidFocusTarget(kMenu2Page, mixed, 1165), IDC_READ);
  EXPECT_EQ(ValidFocusTarget(kMenu2Page, mixed, 1166), IDC_READ);
}

}  // namespace
}  // namespace rovant::ui
