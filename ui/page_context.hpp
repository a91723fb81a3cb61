// The process-wide state the setting pages work on, handed to them explicitly.
#pragma once

#include "model/model_code.hpp"
#include "platform/message_boxes.hpp"
#include "protocol/app_state.hpp"
#include "ui/page_layout.hpp"

namespace rovant::ui {

struct PageContext {
  AppState& state;      // state.settings is the SettingsRecord the pages show and edit
  MessageBoxes& boxes;  // for the EMULATE information box
  PageIndex currentPage = kMenu1Page;  // CurrentPage: the page of the selected tab

  [[nodiscard]] SettingsRecord& record() const { return state.settings; }
  // SelectedModel: the modelCode of the SelectedPrinter (HX320 until one is selected).
  [[nodiscard]] ModelCode selectedModel() const { return state.selectedPrinter.modelCode; }
};

}  // namespace rovant::ui
