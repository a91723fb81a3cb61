// The PageView of a setting page's dialog window: combo box messages and EnableWindow.
#pragma once

#include <windows.h>

#include "platform/message_boxes.hpp"
#include "ui/page_view.hpp"

namespace rovant::ui {

class Win32PageView final : public PageView {
 public:
  Win32PageView(HWND page, MessageBoxes& boxes) : page_(page), boxes_(boxes) {}

  void ResetContent(ControlId combo) override;
  void AddString(ControlId combo, std::string_view text) override;
  void SetSelection(ControlId combo, int position) override;
  [[nodiscard]] int GetSelection(ControlId combo) const override;
  void EnableRow(const PageRow& row, bool enabled) override;
  MessageBoxes& Boxes() override { return boxes_; }

 private:
  HWND page_;
  MessageBoxes& boxes_;
};

}  // namespace rovant::ui
