#include "sim/printer_options.hpp"

#include <string>

namespace rovant::sim {

void AddPrinterOptions(CLI::App& app, PrinterOptionTexts& texts, SimOptions& options) {
  app.add_option("--model", texts.model, "the printer model: HX310 or HX320 (default HX320)");
  app.add_option("--state", options.statePath,
                 "state file: memory loaded at the start and saved at the end");
  app.add_option("--paper", texts.paperPath, "append printed setting lists to this file");
  app.add_flag("--switched-off", options.faults.switchedOff,
               "fault: every send refused, no reply (exit 1)");
  app.add_option("--refuse-send", options.faults.refuseSend,
                 "fault: refuse the N-th send of the session, the online sequence being the 1st")
      ->check(CLI::Range(0, 1000000));
  app.add_option("--report-model", texts.reportModel, "fault: answer ?MODEL with this model");
  app.add_option("--bad-item", texts.badItems,
                 "fault: this item's value goes out as ??????? (repeatable), e.g. MENU1.PITCH");
  app.add_option("--drop-item", texts.dropItems,
                 "fault: a transfer does not store this item (repeatable), e.g. MENU1.PITCH");
  app.add_flag("--noise", options.faults.noise, "fault: junk bytes between reply lines");
  app.add_flag("--oversize-reply", options.faults.oversizeReply,
               "fault: pad the reply with junk beyond 4096 bytes (cut at 4096)");
  app.add_flag("--no-settings-marker", options.faults.noSettingsMarker,
               "fault: the settings come without the ?NVRAM marker");
}

Expected<void> ResolvePrinterOptions(const PrinterOptionTexts& texts, SimOptions& options) {
  const std::optional<ModelCode> model = ParseModelName(texts.model);
  if (!model) {
    return Fail("--model: HX310 or HX320 expected, not " + texts.model);
  }
  options.model = *model;
  if (!texts.reportModel.empty()) {
    options.faults.reportedModel = ParseModelName(texts.reportModel);
    if (!options.faults.reportedModel) {
      return Fail("--report-model: HX310 or HX320 expected, not " + texts.reportModel);
    }
  }
  for (const std::string& name : texts.badItems) {
    const std::optional<ItemIndex> item = ParseItemName(name);
    if (!item) {
      return Fail("--bad-item: no item " + name + " (BLOCK.ITEM, e.g. MENU1.PITCH)");
    }
    options.faults.badValues.push_back(*item);
  }
  for (const std::string& name : texts.dropItems) {
    const std::optional<ItemIndex> item = ParseItemName(name);
    if (!item) {
      return Fail("--drop-item: no item " + name + " (BLOCK.ITEM, e.g. MENU1.PITCH)");
    }
    options.faults.dropOnSave.push_back(*item);
  }
  return {};
}

}  // namespace rovant::sim
