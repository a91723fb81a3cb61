// A recording PageView: every combo's list, selection and enabled state (its label's with it),
// the boxes shown, and the calls in order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/fakes/call_log.hpp"
#include "ui/page_view.hpp"

namespace rovant::testing {

class FakePageView final : public ui::PageView, public MessageBoxes {
 public:
  struct Combo {
    std::vector<std::string> items;
    int selection = ui::kNoSelection;
    bool enabled = true;
  };

  void ResetContent(ui::ControlId combo) override {
    log.Add("reset " + std::to_string(combo));
    combos[combo].items.clear();
    combos[combo].selection = ui::kNoSelection;
  }
  void AddString(ui::ControlId combo, std::string_view text) override {
    combos[combo].items.emplace_back(text);
  }
  void SetSelection(ui::ControlId combo, int position) override {
    log.Add("select " + std::to_string(combo) + " " + std::to_string(position));
    Pick(combo, position);
  }
  [[nodiscard]] int GetSelection(ui::ControlId combo) const override {
    const auto it = combos.find(combo);
    return it == combos.end() ? ui::kNoSelection : it->second.selection;
  }
  void EnableRow(const ui::PageRow& row, bool enabled) override {
    log.Add("enable " + std::to_string(row.comboId) + " " + (enabled ? "1" : "0"));
    combos[row.comboId].enabled = enabled;
  }
  MessageBoxes& Boxes() override { return *this; }
  int Show(const MessageBoxRequest& request) override {
    if (whileBoxIsOpen) whileBoxIsOpen();
    shown.push_back(request);
    return 1;
  }

  // The user picks an entry; as CB_SETCURSEL, a position outside the list clears the selection.
  void Pick(ui::ControlId combo, int position) {
    Combo& c = combos[combo];
    c.selection = position >= 0 && static_cast<std::size_t>(position) < c.items.size()
                      ? position
                      : ui::kNoSelection;
  }
  [[nodiscard]] std::string Text(ui::ControlId combo) const {
    const Combo& c = combos.at(combo);
    return c.selection < 0 ? std::string() : c.items.at(static_cast<std::size_t>(c.selection));
  }
  [[nodiscard]] bool RowEnabled(const ui::PageRow& row) const {
    return combos.at(row.comboId).enabled;
  }

  CallLog log;
  std::map<ui::ControlId, Combo> combos;
  std::vector<MessageBoxRequest> shown;
  std::function<void()> whileBoxIsOpen;  // runs while the box is shown
};

}  // namespace rovant::testing
