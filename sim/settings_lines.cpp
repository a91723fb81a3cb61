#include "sim/settings_lines.hpp"

#include <algorithm>

#include "model/catalogue.hpp"
#include "sim/model_items.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {
namespace {

std::string_view ValueText(ItemIndex item, const SettingsRecord& record) {
  const std::optional<std::string_view> label = LabelOf(item, record);
  return label ? *label : kGarbledValue;
}

void PadTo(std::string& line, std::size_t width) {
  if (line.size() < width) line.append(width - line.size(), ' ');
}

}  // namespace

void AppendSettingsLines(std::string& out, const SettingsRecord& record, ModelCode model,
                         const LineFaults& faults) {
  bool first = true;
  for (const BlockInfo& block : kBlocks) {
    for (const ItemIndex item : WireOrderOf(block.block)) {
      if (!IsRead(item) || !ModelHasItem(item, model)) continue;
      if (!first && faults.noise) out += kNoise;
      first = false;
      const bool bad = std::find(faults.badValues.begin(), faults.badValues.end(), item) !=
                       faults.badValues.end();
      out += block.wireName;
      out += " :";
      out += KeywordOf(item);
      out += " :";
      out += bad ? kGarbledValue : ValueText(item, record);
      out += "\r\n";
    }
  }
}

std::string SettingsLines(const SettingsRecord& record, ModelCode model) {
  std::string out;
  AppendSettingsLines(out, record, model, {});
  return out;
}

std::string SettingListing(const SettingsRecord& record, ModelCode model) {
  constexpr std::size_t kColumn = 9;
  std::string out;
  for (const BlockInfo& block : kBlocks) {
    for (const ItemIndex item : WireOrderOf(block.block)) {
      if (!ModelHasItem(item, model)) continue;
      std::string line(block.tabName);
      PadTo(line, kColumn);
      line += PageLabelOf(item);
      PadTo(line, 2 * kColumn);
      line += ValueText(item, record);
      while (line.back() == ' ') line.pop_back();
      out += line;
      out += '\n';
    }
  }
  return out;
}

}  // namespace rovant::sim
