// The rules of the five setting pages, on a PageView: loading a page
// from the settings record, reacting to a selection change, storing the page
// back, and where focus may return after a command.
#pragma once

#include <string_view>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"
#include "ui/page_layout.hpp"
#include "ui/page_view.hpp"

namespace rovant::ui {

// The information box shown when a menu block's EMULATE is changed: no owner, caption
// "ROVANT", information icon, OK button.
inline constexpr std::string_view kEmulationChangedText =
    "When EMULATION is changed, other items return to the default value.\nIf you would like to "
    "change the item of MENU fuction, change it from EMULATION.";
inline constexpr unsigned kEmulationChangedStyle = 0x00 /*MB_OK*/ | 0x40 /*MB_ICONINFORMATION*/;

// Window message numbers the page procedures react to (portable copies).
inline constexpr unsigned kPageRefreshMessage = 11;  // the number of WM_SETREDRAW, params 0
inline constexpr unsigned kSelChange = 1;            // CBN_SELCHANGE
inline constexpr unsigned kCloseUp = 8;              // CBN_CLOSEUP

// Fills every combo of the page with its list in force (page creation).
void FillPageLists(PageIndex page, const SettingsRecord& record, PageView& view);

// Record to page: selections, the emulation-dependent lists and the enabled states.
void LoadPageFromRecord(PageIndex page, const SettingsRecord& record, ModelCode selectedModel,
                        PageView& view);

// A combo of the page reported CBN_SELCHANGE or CBN_CLOSEUP. MENU pages store the block (or
// show the EMULATE box and apply the EmulationReset); CONFIG stores TEAROFF and CUTLOAD and
// re-applies their rules; HARDWARE and ADJUST do nothing.
void OnSelectionChange(PageIndex page, SettingsRecord& record, ModelCode selectedModel,
                       PageView& view);

// Page to record: every combo's selection at its row's record index, disabled rows included.
// A combo without a selection stores what its block's emulation resets it to (MENU pages) or
// the item's factory default (other pages) when that lies in the list in force, else 0, so the
// record always holds valid positions.
void StorePageSelections(PageIndex page, const PageView& view, SettingsRecord& record);

// The control itself, or IDC_READ when the control is a combo the record disables by one of
// the examined rules (MENU: PG LX10, PG LX1, AGM, ZEROFNT, DC3-CDE, LF-CODE; CONFIG: TEAR-EN,
// LOADTIM). WIDTH, CSF-ADJ, STATUS, read-only rows and the HARDWARE/ADJUST pages are not
// examined.
int ValidFocusTarget(PageIndex page, const SettingsRecord& record, int controlId);

// The enabled state a record-driven rule gives a row, or -1 when no such rule applies
// (then the row keeps its state; disabling-only and read-only rules are not included).
int RecordRuleEnables(const PageRow& row, const SettingsRecord& record);

}  // namespace rovant::ui
