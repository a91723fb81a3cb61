#include "ui/page_rules.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "model/catalogue.hpp"
#include "ui/page_layout.hpp"
#include "ui/page_view.hpp"

namespace rovant::ui {
namespace {

// A recording PageView: every combo's list, selection and enabled state (its label's with it),
// the boxes shown, and the calls in order.
class FakePageView final : public PageView, public MessageBoxes {
 public:
  struct Combo {
    std::vector<std::string> items;
    int selection = kNoSelection;
    bool enabled = true;
  };

  void ResetContent(ControlId combo) override {
    calls.push_back("reset " + std::to_string(combo));
    combos[combo].items.clear();
    combos[combo].selection = kNoSelection;
  }
  void AddString(ControlId combo, std::string_view text) override {
    combos[combo].items.emplace_back(text);
  }
  void SetSelection(ControlId combo, int position) override {
    calls.push_back("select " + std::to_string(combo) + " " + std::to_string(position));
    Pick(combo, position);
  }
  [[nodiscard]] int GetSelection(ControlId combo) const override {
    const auto it = combos.find(combo);
    return it == combos.end() ? kNoSelection : it->second.selection;
  }
  void EnableRow(const PageRow& row, bool enabled) override {
    calls.push_back("enable " + std::to_string(row.comboId) + " " + (enabled ? "1" : "0"));
    combos[row.comboId].enabled = enabled;
  }
  MessageBoxes& Boxes() override { return *this; }
  int Show(const MessageBoxRequest& request) override {
    if (whileBoxIsOpen) whileBoxIsOpen();
    shown.push_back(request);
    return 1;
  }

  // The user picks an entry; as CB_SETCURSEL, a position outside the list clears the selection.
  void Pick(ControlId combo, int position) {
    Combo& c = combos[combo];
    c.selection = position >= 0 && static_cast<std::size_t>(position) < c.items.size()
                      ? position
                      : kNoSelection;
  }
  [[nodiscard]] bool RowEnabled(const PageRow& row) const { return combos.at(row.comboId).enabled; }

  std::vector<std::string> calls;
  std::map<ControlId, Combo> combos;
  std::vector<MessageBoxRequest> shown;
  std::function<void()> whileBoxIsOpen;  // runs while the box is shown
};

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

class LoadEveryPage : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t>> {};

TEST_P(LoadEveryPage, ListsInForceSelectionsAndEnabledStates) {
  const auto [page, emulation] = GetParam();
  for (ModelCode model : {ModelCode::kHx320, ModelCode::kHx310, ModelCode::kOther}) {
    const SettingsRecord record = Scrambled(emulation);
    FakePageView view;
    // Lists filled under another emulation: a load refills the ones that depend on it.
    FillPageLists(page, RecordUnder(static_cast<std::uint8_t>((emulation + 1) % 3)), view);
    LoadPageFromRecord(page, record, model, view);
    for (const PageRow& row : PageAt(page).rows) {
      SCOPED_TRACE(std::string(row.item));
      const auto& combo = view.combos.at(row.comboId);
      EXPECT_EQ(combo.items, Texts(ListInForce(row.record, record)));
      EXPECT_EQ(combo.selection, record[row.record]);
      const ItemInfo& info = kCatalogue[row.record];
      const bool modelRule =
          info.condition == Condition::kWidthModel || info.condition == Condition::kModelIsNotHx310;
      const bool enabled = !info.readOnly && (modelRule ? model != ModelCode::kHx310
                                                        : InEffect(row.record, record, model));
      EXPECT_EQ(view.RowEnabled(row), enabled);
      // The focus leaves a row the record's rules disable for the Read button; labels and the
      // rows disabled for other reasons keep it.
      EXPECT_EQ(ValidFocusTarget(page, record, row.comboId) == IDC_READ,
                !info.readOnly && !modelRule && !enabled);
      EXPECT_EQ(ValidFocusTarget(page, record, row.labelId), row.labelId);
    }
    EXPECT_TRUE(view.shown.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(PagesAndEmulations, LoadEveryPage,
                         ::testing::Combine(::testing::ValuesIn(kAllPages),
                                            ::testing::ValuesIn(kEmulations)));

// On an HX310 the WIDTH row is disabled, and keeps its value through every change and store.
class MenuPage : public ::testing::TestWithParam<std::tuple<PageIndex, std::uint8_t, ModelCode>> {
 protected:
  MenuPage() { CreatePage(page, record, model, view); }
  void Change() { OnSelectionChange(page, record, model, view); }

  const PageIndex page = std::get<0>(GetParam());
  const std::uint8_t emulation = std::get<1>(GetParam());
  const ModelCode model = std::get<2>(GetParam());
  const PageLayout& layout = PageAt(page);
  SettingsRecord record = Scrambled(emulation);
  FakePageView view;
};

INSTANTIATE_TEST_SUITE_P(
    MenusEmulationsAndModels, MenuPage,
    ::testing::Combine(::testing::ValuesIn(kMenuPages), ::testing::ValuesIn(kEmulations),
                       ::testing::Values(ModelCode::kHx320, ModelCode::kHx310)));

TEST_P(MenuPage, AnEmulateChangeShowsTheBoxAndResetsItsBlockOnly) {
  for (const std::uint8_t to : kEmulations) {
    if (to == emulation) continue;
    record = Scrambled(emulation);
    view = {};
    CreatePage(page, record, model, view);
    SettingsRecord expected = record;
    ApplyEmulationReset(expected, layout.block, to);
    view.Pick(layout.firstAnchor, to);
    Change();
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].owner, kNoWindow);
    EXPECT_EQ(view.shown[0].text, kEmulationChangedText);
    EXPECT_EQ(record, expected);
    // The page shows the reset block as a page loaded from it would.
    FakePageView loaded;
    CreatePage(page, record, model, loaded);
    for (const PageRow& row : layout.rows) {
      EXPECT_EQ(view.combos.at(row.comboId).items, loaded.combos.at(row.comboId).items) << row.item;
      EXPECT_EQ(view.combos.at(row.comboId).selection, record[row.record]) << row.item;
      EXPECT_EQ(view.RowEnabled(row), loaded.RowEnabled(row)) << row.item;
    }
  }
}

TEST_P(MenuPage, CloseUpOnAnUnchangedEmulateStoresEveryRowWithoutABox) {
  // The user has picked other entries in every row but EMULATE, disabled rows included.
  SettingsRecord expected = record;
  for (std::size_t k = 1; k < layout.rows.size(); ++k) {
    const PageRow& row = layout.rows[k];
    const auto size = view.combos.at(row.comboId).items.size();
    const int pick = static_cast<int>((record[row.record] + 1) % size);
    view.Pick(row.comboId, pick);
    expected[row.record] = static_cast<std::uint8_t>(pick);
  }
  Change();  // CBN_CLOSEUP on EMULATE
  EXPECT_TRUE(view.shown.empty());
  EXPECT_EQ(record, expected);
}

// PG LX10 and PG LX1 follow PAGE LG.
TEST_P(MenuPage, ThePageLengthsLineEntryEnablesTheLineRows) {
  const PageRow& pageLength = RowOf(page, "PAGE LG");
  const PageRow& tens = RowOf(page, "PG LX10");
  const PageRow& units = RowOf(page, "PG LX1");
  const int line = emulation == kEscP2 ? 37 : 14;
  const std::vector<std::string>& items = view.combos.at(pageLength.comboId).items;
  EXPECT_EQ(items.at(static_cast<std::size_t>(line)), "LINE   ");
  for (int position = 0; position < static_cast<int>(items.size()); ++position) {
    view.Pick(pageLength.comboId, position);
    Change();
    EXPECT_EQ(record[pageLength.record], position);
    for (const PageRow* row : {&tens, &units}) {
      EXPECT_EQ(view.RowEnabled(*row), position == line) << position;
      EXPECT_EQ(ValidFocusTarget(page, record, row->comboId) == row->comboId, position == line);
    }
  }
  EXPECT_TRUE(view.shown.empty());
}

TEST(EmulateChangeDetail, SelectionIsReadAgainAfterTheBox) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  SettingsRecord expected = record;
  ApplyEmulationReset(expected, MenuBlock::kMenu1, kEscP2);
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx320, view);
  view.Pick(1100, kXl24e);
  view.whileBoxIsOpen = [&] { view.Pick(1100, kEscP2); };
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx320, view);
  EXPECT_EQ(record, expected);
}

TEST(EmulateChangeDetail, WidthRuleIsNotAppliedAfterTheChangeButStaysDisabled) {
  SettingsRecord record = RecordUnder(kDpl24cPlus);
  FakePageView view;
  CreatePage(kMenu1Page, record, ModelCode::kHx310, view);
  view.calls.clear();
  view.Pick(1100, kEscP2);
  OnSelectionChange(kMenu1Page, record, ModelCode::kHx310, view);
  for (const std::string& call : view.calls) EXPECT_NE(call, "enable 1117 0");
  EXPECT_FALSE(view.RowEnabled(RowOf(kMenu1Page, "WIDTH")));  // nothing enabled it again
}

TEST(ConfigRules, TearOffAndCutLoadRuleImmediately) {
  SettingsRecord record = kFactoryDefaults;  // TEAROFF "MANUAL ", CUTLOAD "AUTO   "
  FakePageView view;
  CreatePage(kConfigPage, record, ModelCode::kHx320, view);
  const PageRow& tearEn = RowOf(kConfigPage, "TEAR-EN");
  const PageRow& loadTime = RowOf(kConfigPage, "LOADTIM");
  EXPECT_FALSE(view.RowEnabled(tearEn));
  EXPECT_TRUE(view.RowEnabled(loadTime));

  view.Pick(1258, 1);  // TEAROFF "AUTO   "
  view.Pick(1263, 1);  // DECODE: reaches the record only through StorePageSelections
  OnSelectionChange(kConfigPage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[70], 1);
  EXPECT_EQ(record[75], 0);
  EXPECT_TRUE(view.RowEnabled(tearEn));

  view.Pick(1261, 1);  // CUTLOAD "BUTTON "
  OnSelectionChange(kConfigPage, record, ModelCode::kHx320, view);
  EXPECT_EQ(record[73], 1);
  EXPECT_FALSE(view.RowEnabled(loadTime));

  StorePageSelections(kConfigPage, view, record);
  EXPECT_EQ(record[75], 1);
  EXPECT_TRUE(view.shown.empty());
}

// On an HX310 CSF-ADJ is disabled, and keeps its value when the page is stored.
TEST(AdjustAndHardwareRules, SelectionReachesTheRecordOnlyWhenStored) {
  for (const auto& [page, combo] :
       {std::pair{kAdjustPage, ControlId{1221}}, std::pair{kHardwarePage, ControlId{1193}}}) {
    SettingsRecord record = kFactoryDefaults;
    record[67] = 5;  // CSF-ADJ "14 /360"
    const SettingsRecord before = record;
    FakePageView view;
    CreatePage(page, record, ModelCode::kHx310, view);
    const int last = static_cast<int>(view.combos.at(combo).items.size()) - 1;
    view.Pick(combo, last);
    view.calls.clear();
    OnSelectionChange(page, record, ModelCode::kHx310, view);
    EXPECT_EQ(record, before);
    EXPECT_TRUE(view.calls.empty());
    StorePageSelections(page, view, record);
    SettingsRecord expected = before;
    expected[FindRowByCombo(PageAt(page), combo)->record] = static_cast<std::uint8_t>(last);
    EXPECT_EQ(record, expected);
  }
}

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
  EXPECT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(record[23], 0);
  EXPECT_EQ(view.combos.at(1147).selection, kDpl24cPlus);
  for (ItemIndex i = 23; i < 46; ++i) EXPECT_EQ(record[i], kFactoryDefaults[i]) << i;
}

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
  EXPECT_EQ(ValidFocusTarget(kMenu2Page, mixed, IDC_TRANSFER), IDC_TRANSFER);
}

}  // namespace
}  // namespace rovant::ui
