// A recording PageView: every combo's list, selection and enabled state, every
// label's enabled state, and the calls in order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "ui/page_view.hpp"

namespace rovant::testing {

class FakePageView final : public ui::PageView {
 public:
  struct Combo {
    std::vector<std::string> items;
    int selection = ui::kNoSelection;
    bool enabled = true;
  };

  FakePageView() : boxes_(log) {}

  void ResetContent(ui::ControlId combo) override {
    log.Add("reset " + std::to_string(combo));
    combos[combo].items.clear();
    combos[combo].selection = ui::kNoSelection;
  }
  void AddString(ui::ControlId combo, std::string_view text) override {
    combos[combo].items.emplace_back(text);
  }
  // As CB_SETCURSEL: a position outside the list clears the selection.
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
    labels[row.labelId] = enabled;
  }
  MessageBoxes& Boxes() override { return hook_; }

  // The user picks an entry (as SetSelection, without the log).
  void Pick(ui::ControlId combo, int position) {
    Combo& c = combos[combo];
    c.selection = position >= 0 && static_cast<std::size_t>(position) < c.items.size()
                      ? position
                      : ui::kNoSelection;
  }
  [[nodiscard]] std::string Text(ui::ControlId combo) const {
    const Combo& c = combos.at(combo);
    if (c.selection < 0) return {};
    return c.items.at(static_cast<std::size_t>(c.selection));
  }
  [[nodiscard]] bool RowEnabled(const ui::PageRow& row) const {
    const bool combo = combos.at(row.comboId).enabled;
    const auto it = labels.find(row.labelId);
    const bool label = it == labels.end() ? true : it->second;
    return combo && label;
  }
  [[nodiscard]] const std::vector<MessageBoxRequest>& BoxesShown() const { return boxes_.shown; }

  CallLog log;
  std::map<ui::ControlId, Combo> combos;
  std::map<ui::ControlId, bool> labels;
  std::function<void()> whileBoxIsOpen;  // runs while the box is shown

 private:
  class Hook final : public MessageBoxes {
   public:
    explicit Hook(FakePageView& view) : view_(view) {}
    int Show(const MessageBoxRequest& request) override {
      if (view_.whileBoxIsOpen) view_.whileBoxIsOpen();
      return view_.boxes_.Show(request);
    }

   private:
    FakePageView& view_;
  };
  FakeMessageBoxes boxes_;
  Hook hook_{*this};
};

}  // namespace rovant::testing
