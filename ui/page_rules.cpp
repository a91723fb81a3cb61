#include "ui/page_rules.hpp"

#include <cstddef>
#include <cstdint>

#include "model/catalogue.hpp"
#include "platform/message_boxes.hpp"

namespace rovant::ui {
namespace {

// Rows of a MENU page by their table position (= MENU1 record offset).
constexpr std::size_t kEmulateRow = 0;
constexpr std::size_t kPageTensRow = 9;
constexpr std::size_t kPageUnitsRow = 10;

bool IsMenuPage(PageIndex page) { return page == kMenu1Page || page == kMenu2Page; }

bool IsSwitched(const PageRow& row) { return kCatalogue[row.record].rule != ListRule::kSingle; }

// The value an empty combo stands for: for an item of a menu block what its block's emulation
// resets it to (the factory position may belong to another emulation's list), otherwise the
// item's factory default.
std::uint8_t DefaultFor(ItemIndex item, const SettingsRecord& record) {
  const MenuBlock block = BlockOf(item);
  if (block == MenuBlock::kMenu1 || block == MenuBlock::kMenu2) {
    const std::uint8_t emulation = record[EmulateItemOf(item)];
    if (emulation < kEmulationReset.size())
      return kEmulationReset[emulation][kCatalogue[item].twin];
  }
  return kCatalogue[item].factoryDefault;
}

// What a combo's selection stores: the selection when it is a position of the list in force,
// otherwise the item's default (above) when that lies in the list, else 0.
std::uint8_t StoredValue(const PageRow& row, const SettingsRecord& record, int selection) {
  const OptionList list = ListInForce(row.record, record);
  if (selection >= 0 && static_cast<std::size_t>(selection) < list.size()) {
    return static_cast<std::uint8_t>(selection);
  }
  const std::uint8_t fallback = DefaultFor(row.record, record);
  return fallback < list.size() ? fallback : std::uint8_t{0};
}

void StoreRow(const PageRow& row, const PageView& view, SettingsRecord& record) {
  record[row.record] = StoredValue(row, record, view.GetSelection(row.comboId));
}

void FillList(const PageRow& row, const SettingsRecord& record, PageView& view) {
  view.ResetContent(row.comboId);
  for (const OptionLabel& label : ListInForce(row.record, record)) {
    view.AddString(row.comboId, label.view());
  }
}

// How a row is (re)loaded.
struct LoadMode {
  bool refillSwitchedLists = true;  // empty and refill the emulation-dependent lists
  bool pageLineRuleTested = true;   // false: PG LX10/PG LX1 disabled without testing PAGE LG
  bool modelRulesApplied = true;    // the disabling-only WIDTH / CSF-ADJ rule for HX310
};

void ApplyEnableRules(const PageRow& row, const SettingsRecord& record, ModelCode model,
                      const LoadMode& mode, PageView& view) {
  const ItemInfo& info = kCatalogue[row.record];
  if (info.readOnly) {
    view.EnableRow(row, false);  // read-only rows: disabled on every load
    return;
  }
  switch (info.condition) {
    case Condition::kWidthModel:
    case Condition::kModelIsNotHx310:
      // Disabling only: nothing in the page enables them again.
      if (mode.modelRulesApplied && model == ModelCode::kHx310) view.EnableRow(row, false);
      return;
    case Condition::kPageLengthIsLine:
      if (!mode.pageLineRuleTested) {
        view.EnableRow(row, false);
        return;
      }
      break;
    default:
      break;
  }
  const int enabled = RecordRuleEnables(row, record);
  if (enabled >= 0) view.EnableRow(row, enabled != 0);
}

void LoadRow(const PageRow& row, const SettingsRecord& record, ModelCode model,
             const LoadMode& mode, PageView& view) {
  if (mode.refillSwitchedLists && IsSwitched(row)) FillList(row, record, view);
  view.SetSelection(row.comboId, record[row.record]);
  ApplyEnableRules(row, record, model, mode, view);
}

void OnMenuSelectionChange(const PageLayout& layout, SettingsRecord& record, ModelCode model,
                           PageView& view) {
  const PageRow& emulateRow = layout.rows[kEmulateRow];
  const ItemIndex emulateItem = emulateRow.record;
  // 1. The EMULATE selection (no selection counts as the stored fallback, "DPL24C+").
  const std::uint8_t selected =
      StoredValue(emulateRow, record, view.GetSelection(emulateRow.comboId));
  if (selected == record[emulateItem]) {
    // 2. Unchanged: the whole block goes into the record, then the PG LX10/PG LX1 rule.
    for (const PageRow& row : layout.rows) StoreRow(row, view, record);
    for (std::size_t k : {kPageTensRow, kPageUnitsRow}) {
      const PageRow& row = layout.rows[k];
      view.EnableRow(row, RecordRuleEnables(row, record) == 1);
    }
    return;
  }
  // 3. Changed: the information box; the user cannot refuse.
  view.Boxes().Show(
      MessageBoxRequest{kNoWindow, std::string(kEmulationChangedText), kEmulationChangedStyle, 0});
  // 4. Read the selection again, store it and reset the block only.
  const int again = view.GetSelection(emulateRow.comboId);
  const std::uint8_t emulation = StoredValue(emulateRow, record, again);
  if (again != emulation) view.SetSelection(emulateRow.comboId, emulation);  // no selection
  ApplyEmulationReset(record, layout.block, emulation);
  // 5. Rebuild rows 1..22: PG LX10/PG LX1 disabled untested, no WIDTH rule.
  const LoadMode mode{true, false, false};
  for (std::size_t k = 1; k < layout.rows.size(); ++k) {
    LoadRow(layout.rows[k], record, model, mode, view);
  }
}

void OnConfigSelectionChange(const PageLayout& layout, SettingsRecord& record, PageView& view) {
  const PageRow* tearOff = FindRowByRecord(layout, kTearOffItem);
  const PageRow* cutLoad = FindRowByRecord(layout, kCutLoadItem);
  StoreRow(*tearOff, view, record);
  StoreRow(*cutLoad, view, record);
  for (const PageRow& row : layout.rows) {
    const Condition c = kCatalogue[row.record].condition;
    if (c == Condition::kTearOffIsAuto || c == Condition::kCutLoadIsAuto) {
      view.EnableRow(row, RecordRuleEnables(row, record) == 1);
    }
  }
}

}  // namespace

int RecordRuleEnables(const PageRow& row, const SettingsRecord& record) {
  const ItemIndex emulateItem = EmulateItemOf(row.record);
  const std::uint8_t emulation = record[emulateItem];
  switch (kCatalogue[row.record].condition) {
    case Condition::kPageLengthIsLine: {
      const std::size_t line = emulation == kEscP2 ? 37 : 14;  // the "LINE   " entry
      return record[emulateItem + kPageLengthOffset] == line ? 1 : 0;
    }
    case Condition::kEmulationIsXl:
      return emulation == kXl24e ? 1 : 0;
    case Condition::kEmulationIsDpl:
      return emulation == kDpl24cPlus ? 1 : 0;
    case Condition::kEmulationIsNotEscP2:
      return emulation != kEscP2 ? 1 : 0;
    case Condition::kTearOffIsAuto:
      return record[kTearOffItem] != 0 ? 1 : 0;  // TEAROFF is not "MANUAL "
    case Condition::kCutLoadIsAuto:
      return record[kCutLoadItem] != 1 ? 1 : 0;  // CUTLOAD is not "BUTTON "
    case Condition::kAlways:
    case Condition::kWidthModel:
    case Condition::kModelIsNotHx310:
      break;
  }
  return -1;
}

void FillPageLists(PageIndex page, const SettingsRecord& record, PageView& view) {
  for (const PageRow& row : PageAt(page).rows) FillList(row, record, view);
}

void LoadPageFromRecord(PageIndex page, const SettingsRecord& record, ModelCode selectedModel,
                        PageView& view) {
  const LoadMode mode{};
  for (const PageRow& row : PageAt(page).rows) LoadRow(row, record, selectedModel, mode, view);
}

void OnSelectionChange(PageIndex page, SettingsRecord& record, ModelCode selectedModel,
                       PageView& view) {
  if (IsMenuPage(page)) {
    OnMenuSelectionChange(PageAt(page), record, selectedModel, view);
  } else if (page == kConfigPage) {
    OnConfigSelectionChange(PageAt(page), record, view);
  }
}

void StorePageSelections(PageIndex page, const PageView& view, SettingsRecord& record) {
  // Rows in table order: a MENU page stores EMULATE first, so the fallbacks of the other
  // rows look at the list in force for the stored emulation.
  for (const PageRow& row : PageAt(page).rows) StoreRow(row, view, record);
}

int ValidFocusTarget(PageIndex page, const SettingsRecord& record, int controlId) {
  if (!IsMenuPage(page) && page != kConfigPage) return controlId;
  const PageRow* row = FindRowByCombo(PageAt(page), controlId);
  if (row == nullptr) return controlId;
  return RecordRuleEnables(*row, record) == 0 ? IDC_READ : controlId;
}

}  // namespace rovant::ui
