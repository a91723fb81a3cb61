#include "protocol/write_settings.hpp"

#include <string>

#include "model/catalogue.hpp"
#include "model/record_check.hpp"
#include "protocol/command_strings.hpp"
#include "protocol/setting_text.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

bool IsWriteMode(int mode) { return mode == 1 || mode == 2 || mode == 8; }

}  // namespace

int WritePrinterSettings(int mode, WindowRef owner, PrinterOperationContext& c) {
  if (!IsWriteMode(mode)) return kWriteFailed;
  const auto writeMode = static_cast<WriteMode>(mode);
  AppState& state = c.state;

  SettingText text;
  switch (writeMode) {
    case WriteMode::kTransfer: {
      c.host.ShowStatus(msg::kStatusTransfer);
      c.cursor.ShowWait();
      c.pages.StorePageSelections();
      ItemList refused;
      if (!BuildSettingText(state.settings, state.selectedPrinter.modelCode, text, refused)) {
        c.host.CloseStatus();
        std::string report(msg::kRecordOutOfListHeader);
        report += ListItemsWithValues(refused, state.settings);
        ShowMessage(c.boxes, msg::kUserIconOk, report, msg::kIconWarning, 0, owner);
        c.cursor.ShowArrow();
        return kWriteRefused;
      }
      break;
    }
    case WriteMode::kFactoryDefault:
      c.host.ShowStatus(msg::kStatusFactoryDefault);
      c.cursor.ShowWait();
      break;
    case WriteMode::kListPrint:
      c.host.ShowStatus(msg::kStatusListPrint);
      c.cursor.ShowWait();
      break;
  }

  if (!BeginExchange(c, owner)) return kWriteFailed;

  if (!c.link.Send(wire::kOnlineSequence)) {
    c.cursor.ShowArrow();
    c.host.CloseStatus();
    c.link.End();
    return kWriteFailed;
  }

  bool commandSent = false;
  switch (writeMode) {
    case WriteMode::kListPrint:
      commandSent = c.link.Send(wire::kListExit);
      break;
    case WriteMode::kFactoryDefault: {
      // The visible page shows the factory values while the printer takes them; the user's
      // settings come back unless it accepted the command.
      const SettingsRecord kept = state.settings;
      ResetToFactoryDefaults(state.settings);
      c.pages.RefreshCurrentPage();
      commandSent = c.link.Send(wire::kDefault);
      if (!commandSent) {
        state.settings = kept;
        c.pages.RefreshCurrentPage();
      }
      break;
    }
    case WriteMode::kTransfer:
      commandSent = c.link.Send(text.view());
      break;
  }
  const bool closesWithSave = writeMode != WriteMode::kListPrint;

  if (!commandSent) {
    // Leave the printer's setup state all the same.
    if (!closesWithSave || !c.link.Send(wire::kSaveExit)) state.noResponsePending = true;
    c.cursor.ShowArrow();
    c.host.CloseStatus();
    c.link.End();
    return kWriteFailed;
  }

  bool closed = true;
  if (closesWithSave) {
    closed = c.link.Send(wire::kSaveExit);
    if (!closed) state.noResponsePending = true;
  }
  c.link.End();
  if (!closed) {
    c.cursor.ShowArrow();
    c.host.CloseStatus();
    return kWriteFailed;
  }

  switch (writeMode) {
    case WriteMode::kTransfer:
      c.clock.SleepMs(kWaitAfterTransfer);
      c.host.CloseStatus();
      break;
    case WriteMode::kFactoryDefault:
      c.clock.SleepMs(kWaitAfterFactoryDefault);
      c.host.CloseStatus();
      break;
    case WriteMode::kListPrint:
      c.clock.SleepMs(kWaitAfterListPrint);
      c.host.CloseStatus();
      c.host.RunPrintFinishedDialog();
      break;
  }
  c.cursor.ShowArrow();
  return kWriteDone;
}

}  // namespace rovant
