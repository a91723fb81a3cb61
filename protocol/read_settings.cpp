#include "protocol/read_settings.hpp"

#include <string>

#include "protocol/command_strings.hpp"
#include "protocol/show_message.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {

int ReadPrinterSettings(int mode, WindowRef owner, PrinterOperationContext& c) {
  if (!IsReadMode(mode)) return kReadFailed;
  AppState& state = c.state;

  c.host.ShowStatus(msg::kStatusReading);
  c.cursor.ShowWait();
  ReplyBuffer reply{};

  if (!BeginExchange(c, owner)) return kReadFailed;

  const std::string_view query =
      mode == 7 ? wire::kQueryModelVersionSettings : wire::kQuerySettings;
  bool sent = c.link.Send(wire::kOnlineSequence);
  if (sent) {
    sent = c.link.Send(query);
    if (!sent) state.noResponsePending = true;
  }
  if (!sent) {
    c.host.CloseStatus();
    c.cursor.ShowArrow();
    c.link.End();
    return kReadFailed;
  }

  c.clock.SleepMs(kWaitForReply);

  std::size_t length = 0;
  const bool received = c.link.Receive(reply, length);
  length = std::min(length, reply.size());
  c.host.LogReply(std::span<const char>(reply.data(), length));
  const auto fail = [&] {
    c.host.CloseStatus();
    c.link.End();
    ShowMessage(c.boxes, msg::kUserIconOk, msg::kReadingFailed, msg::kIconWarning, 0, owner);
    c.cursor.ShowArrow();
    return kReadFailed;
  };
  if (!received) return fail();

  const ParsedReply parsed =
      ParseReply(reply, length, static_cast<ReadMode>(mode), state.selectedPrinter.modelCode,
                 state.connectedModel, state.staging);
  for (const int code : parsed.reportedCodes) {
    ShowMessage(c.boxes, msg::kUserIconOk, {}, msg::kIconInformation, code, owner);
  }
  state.connectedModel = parsed.connectedModel;
  state.staging = parsed.staging;

  if (parsed.result == kReadOtherModel) {
    c.host.CloseStatus();
    c.link.End();
    c.cursor.ShowArrow();
    return kReadOtherModel;
  }
  if (parsed.result != kReadDone) return fail();

  state.settings = state.staging;
  c.link.End();
  c.clock.SleepMs(kWaitAfterRead);
  c.host.CloseStatus();
  c.pages.RefreshCurrentPage();
  c.cursor.ShowArrow();
  state.noResponsePending = false;
  return kReadDone;
}

}  // namespace rovant
