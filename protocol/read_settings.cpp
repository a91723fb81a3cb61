#include "protocol/read_settings.hpp"

#include <algorithm>
#include <string>

#include "protocol/command_strings.hpp"
#include "protocol/operation_exits.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

// Leaves by `exit`; its message, if it has one, is the read's failure.
ReadResult Leave(PrinterOperationContext& c, ExitSteps exit, ReadResult result,
                 WindowRef owner = kNoWindow) {
  TakeExit(c, exit, owner, {msg::kReadingFailed, msg::kIconWarning});
  return result;
}

// The settings were read: the link closes, the pages show the new record.
ReadResult Finish(PrinterOperationContext& c) {
  c.state.settings = c.state.staging;
  c.link.Close();
  c.clock.SleepMs(kWaitAfterRead);
  c.host.CloseStatus();
  c.pages.RefreshCurrentPage();
  c.cursor.ShowArrow();
  c.state.noResponsePending = false;
  return ReadResult::kDone;
}

// The online sequence, then the query; a refused query leaves the printer
// waiting, so the next exchange waits first.
bool SendQuery(PrinterOperationContext& c, ReadMode mode) {
  const std::string_view query =
      mode == ReadMode::kStartUp ? wire::kQueryModelVersionSettings : wire::kQuerySettings;
  if (!c.link.Send(wire::kOnlineSequence)) return false;
  if (c.link.Send(query)) return true;
  c.state.noResponsePending = true;
  return false;
}

}  // namespace

ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner, PrinterOperationContext& c) {
  if (!IsReadMode(mode)) return ReadResult::kFailed;
  AppState& state = c.state;

  c.host.ShowStatus(msg::kStatusReading);
  c.cursor.ShowWait();
  if (!BeginExchange(c, owner)) return ReadResult::kFailed;
  if (!SendQuery(c, mode)) return Leave(c, exits::kReadNotSent, ReadResult::kFailed);

  c.clock.SleepMs(kWaitForReply);
  ReplyBuffer reply{};
  std::size_t length = 0;
  const bool received = c.link.Receive(reply, length);
  length = std::min(length, reply.size());
  c.host.LogReply(std::span<const char>(reply.data(), length));
  if (!received) return Leave(c, exits::kReadNoSettings, ReadResult::kFailed, owner);

  const ParsedReply parsed = ParseReply(reply, length, mode, state.selectedPrinter.modelCode,
                                        state.connectedModel, state.staging);
  for (const int code : parsed.reportedCodes) {
    ShowMessage(c.boxes, msg::kUserIconOk, {}, msg::kIconInformation, code, owner);
  }
  state.connectedModel = parsed.connectedModel;
  state.staging = parsed.staging;

  switch (parsed.result) {
    case ReadResult::kOtherModel:
      return Leave(c, exits::kReadOtherModel, ReadResult::kOtherModel);
    case ReadResult::kFailed:
      return Leave(c, exits::kReadNoSettings, ReadResult::kFailed, owner);
    case ReadResult::kDone:
      break;
  }
  return Finish(c);
}

}  // namespace rovant
