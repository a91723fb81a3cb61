// What a setting page does to its controls, so that the page rules can run
// against real combo boxes (ui/win32) or a recording fake (tests).
#pragma once

#include <string_view>

#include "platform/message_boxes.hpp"
#include "ui/page_layout.hpp"

namespace rovant::ui {

inline constexpr int kNoSelection = -1;

class PageView {
 public:
  virtual ~PageView() = default;
  // CB_RESETCONTENT: empty the combo's list.
  virtual void ResetContent(ControlId combo) = 0;
  // CB_ADDSTRING: add a text at the end (the combos are not sorted).
  virtual void AddString(ControlId combo, std::string_view text) = 0;
  // CB_SETCURSEL: select by position; a position outside the list leaves no selection.
  virtual void SetSelection(ControlId combo, int position) = 0;
  // CB_GETCURSEL: the selected position, or kNoSelection.
  [[nodiscard]] virtual int GetSelection(ControlId combo) const = 0;
  // EnableWindow of the row's combo and of its label together.
  virtual void EnableRow(const PageRow& row, bool enabled) = 0;
  // Where the EMULATE information box is shown.
  virtual MessageBoxes& Boxes() = 0;
};

}  // namespace rovant::ui
