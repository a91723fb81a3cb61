// Recording fakes for a printer operation's surroundings: the printer link
// with scripted answers, a virtual clock, and the status window host.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/operation_host.hpp"
#include "platform/printer_link.hpp"
#include "protocol/command_strings.hpp"
#include "tests/fakes/call_log.hpp"

namespace rovant::testing {

// A short name for what was sent, so sequences read like the protocol.
inline std::string SendName(std::string_view bytes) {
  if (bytes == wire::kOnlineSequence) return "online";
  if (bytes == wire::kQueryModelVersionSettings) return "query model+settings";
  if (bytes == wire::kQuerySettings) return "query settings";
  if (bytes == wire::kDefault) return "default";
  if (bytes == wire::kSaveExit) return "save+exit";
  if (bytes == wire::kListExit) return "list+exit";
  return "text " + std::to_string(bytes.size());
}

class FakePrinterLink final : public PrinterLink, Recorder {
 public:
  using Recorder::Recorder;

  // Fails as the Windows link does: first the reply mailbox (in silence),
  // then on the LAN route the connection (with its reason).
  LinkOpening Open(LinkRoute route) override {
    log_.Add(route == LinkRoute::kLan ? "link open lan" : "link open spooler session");
    if (!mailboxOpens) return {false, {}};
    if (route == LinkRoute::kLan && !lanFailure.empty()) return {false, lanFailure};
    return {};
  }
  bool Send(std::string_view bytes) override {
    log_.Add("link send " + SendName(bytes));
    sent.emplace_back(bytes);
    if (sendResults.empty()) return true;
    const bool ok = sendResults.front();
    sendResults.pop_front();
    return ok;
  }
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override {
    log_.Add("link receive");
    length = std::min(replyText.size(), reply.size());
    std::copy_n(replyText.begin(), length, reply.begin());
    if (reportedLength) length = *reportedLength;
    return receives;
  }
  void Close() override { log_.Add("link close"); }
  [[nodiscard]] std::string LastError() const override { return {}; }

  bool mailboxOpens = true;
  std::string lanFailure;        // empty: the LAN connection opens
  std::deque<bool> sendResults;  // answers to the sends in order; accepted when none is left
  std::string replyText;         // what a receive hands back
  std::optional<std::size_t> reportedLength;  // a length other than the text's
  bool receives = true;
  std::vector<std::string> sent;
};

class FakeClock final : public Clock, Recorder {
 public:
  using Recorder::Recorder;
  void SleepMs(unsigned milliseconds) override {
    log_.Add("sleep " + std::to_string(milliseconds));
    total += milliseconds;
  }
  // Virtual time: only the sleeps make it pass.
  std::uint64_t NowMs() override { return total; }
  unsigned long long total = 0;
};

class FakeOperationHost final : public OperationHost, Recorder {
 public:
  using Recorder::Recorder;
  void ShowStatus(std::string_view text) override { log_.Add("status " + std::string(text)); }
  void CloseStatus() override { log_.Add("status close"); }
  void RunPrintFinishedDialog() override { log_.Add("print finished dialog"); }
  void LogReply(std::span<const char> bytes) override {
    log_.Add("log reply " + std::to_string(bytes.size()));
    logged.emplace_back(bytes.begin(), bytes.end());
  }
  std::vector<std::string> logged;
};

}  // namespace rovant::testing
