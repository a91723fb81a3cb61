#include "protocol/write_settings.hpp"

#include <string>

#include "model/catalogue.hpp"
#include "model/record_check.hpp"
#include "protocol/command_strings.hpp"
#include "protocol/operation_exits.hpp"
#include "protocol/setting_text.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

bool IsWriteMode(WriteMode mode) {
  return mode == WriteMode::kTransfer || mode == WriteMode::kFactoryDefault ||
         mode == WriteMode::kListPrint;
}

std::string_view StatusOf(WriteMode mode) {
  switch (mode) {
    case WriteMode::kTransfer:
      return msg::kStatusTransfer;
    case WriteMode::kFactoryDefault:
      return msg::kStatusFactoryDefault;
    case WriteMode::kListPrint:
      break;
  }
  return msg::kStatusListPrint;
}

WriteResult Failed(PrinterOperationContext& c, ExitSteps exit) {
  TakeExit(c, exit);
  return WriteResult::kFailed;
}

// The record cannot be sent: the items outside their lists are listed for the user.
WriteResult RefuseRecord(PrinterOperationContext& c, const ItemList& refused, WindowRef owner) {
  std::string report(msg::kRecordOutOfListHeader);
  report += ListItemsWithValues(refused, c.state.settings);
  TakeExit(c, exits::kWriteRecordRefused, owner, {report, msg::kIconWarning});
  return WriteResult::kRefused;
}

// The mode's command. The visible page shows the factory values while the
// printer takes them; the user's settings come back unless it accepted them.
bool SendCommand(PrinterOperationContext& c, WriteMode mode, const SettingText& text) {
  switch (mode) {
    case WriteMode::kListPrint:
      return c.link.Send(wire::kListExit);
    case WriteMode::kFactoryDefault: {
      const SettingsRecord kept = c.state.settings;
      ResetToFactoryDefaults(c.state.settings);
      c.pages.RefreshCurrentPage();
      if (c.link.Send(wire::kDefault)) return true;
      c.state.settings = kept;
      c.pages.RefreshCurrentPage();
      return false;
    }
    case WriteMode::kTransfer:
      break;
  }
  return c.link.Send(text.view());
}

// The printer took everything: the mode's wait, then the status window goes.
WriteResult Finish(PrinterOperationContext& c, WriteMode mode) {
  switch (mode) {
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
  return WriteResult::kDone;
}

}  // namespace

WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner, PrinterOperationContext& c) {
  if (!IsWriteMode(mode)) return WriteResult::kFailed;
  AppState& state = c.state;

  c.host.ShowStatus(StatusOf(mode));
  c.cursor.ShowWait();
  SettingText text;
  if (mode == WriteMode::kTransfer) {
    c.pages.StorePageSelections();
    ItemList refused;
    if (!BuildSettingText(state.settings, state.selectedPrinter.modelCode, text, refused)) {
      return RefuseRecord(c, refused, owner);
    }
  }

  if (!BeginExchange(c, owner)) return WriteResult::kFailed;
  if (!c.link.Send(wire::kOnlineSequence)) return Failed(c, exits::kWriteNotSent);

  // The setting list leaves the setup state by itself; the others close with a save.
  const bool closesWithSave = mode != WriteMode::kListPrint;
  if (!SendCommand(c, mode, text)) {
    // Leave the printer's setup state all the same.
    if (!closesWithSave || !c.link.Send(wire::kSaveExit)) state.noResponsePending = true;
    return Failed(c, exits::kWriteNotSent);
  }
  if (closesWithSave && !c.link.Send(wire::kSaveExit)) {
    state.noResponsePending = true;
    return Failed(c, exits::kWriteNotSaved);
  }
  c.link.Close();
  return Finish(c, mode);
}

}  // namespace rovant
