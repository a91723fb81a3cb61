// What every printer link keeps to, checked the same way on each kind of link. Each kind gives an
// Endpoint playing the printer's side: Endpoint(script) writes the script's bytes, each after its
// pause in ms; MakeLink(timeouts) and MakeUnreachableLink(); Taken(): what reached the printer,
// once the link closed; Open(link), NotOpen(), NoAnswer(waited), Unreachable(): the state and
// the reasons; Failed(link, kind): further checks of a failure's kind.
#pragma once

// clang-format off
#include "tests/fakes/loopback_server.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/printer_link.hpp"
#include "protocol/command_strings.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {

inline void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

using Script = std::vector<std::pair<int, std::string>>;
enum class LinkFailure { kNoAnswer, kUnreachable };

template <typename Endpoint>
class LinkContract : public ::testing::Test {};
TYPED_TEST_SUITE_P(LinkContract);

TYPED_TEST_P(LinkContract, SendsEveryByteOnlyWhileOpen) {
  std::string every;
  for (int value = 0; value < 256; ++value) every += static_cast<char>(value);
  const std::string sent = std::string(wire::kOnlineSequence) + every + "\r\n" + every;
  TypeParam printer({});
  const auto link = printer.MakeLink({2000, 2000, 100});
  EXPECT_FALSE(link->Send("x"));
  EXPECT_EQ(link->LastError(), printer.NotOpen());
  ASSERT_TRUE(link->Open(LinkRoute::kLan).open) << link->LastError();
  EXPECT_TRUE(TypeParam::Open(*link));
  EXPECT_EQ(link->LastError(), "");
  EXPECT_TRUE(link->Send(std::string_view(sent).substr(0, 5)));
  EXPECT_TRUE(link->Send(std::string_view(sent).substr(5)));
  EXPECT_EQ(link->LastError(), "");
  link->Close();
  EXPECT_FALSE(TypeParam::Open(*link));
  EXPECT_FALSE(link->Send("x"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link->Receive(reply, length));
  EXPECT_EQ(printer.Taken(), sent);
}

// What the printer writes and what the link's receives give, in turn; the
// receive after the last reply finds nothing, for a reason.
struct ReceiveCase {
  const char* name;
  unsigned receiveMs, quietMs;
  Script written;
  std::vector<std::string> replies;
  const char* waited;  // the receive time-out told; nullptr: no receive after the replies
};

inline ReceiveCase Receive(const char* name, unsigned receiveMs, unsigned quietMs, Script written,
                           std::vector<std::string> replies, const char* waited) {
  return {name, receiveMs, quietMs, std::move(written), std::move(replies), waited};
}
inline const std::string kLong = PatternText(5000);
inline const ReceiveCase kReceiveCases[] = {
    // Pauses far shorter than the link's quiet time between the pieces.
    Receive("in pieces is joined", 2000, 600, {{0, "?MODEL  :"}, {50, "HX3"}, {80, "20  \r\n"}},
            {"?MODEL  :HX320  \r\n"}, nullptr),
    Receive("after a quiet moment is the next reply", 2000, 100, {{0, "FIRST"}, {600, "SECOND"}},
            {"FIRST", "SECOND"}, nullptr),
    Receive("longer than the buffer is cut and the rest dropped", 300, 150, {{0, kLong}},
            {kLong.substr(0, 4096)}, "0.3 s"),
    Receive("a silent printer after the receive time-out", 150, 100, {}, {}, "0.15 s"),
};

TYPED_TEST_P(LinkContract, ReceiveGivesTheRepliesOrTheReason) {
  for (const ReceiveCase& c : kReceiveCases) {
    SCOPED_TRACE(c.name);
    TypeParam printer(c.written);
    const auto link = printer.MakeLink({2000, c.receiveMs, c.quietMs});
    ASSERT_TRUE(link->Open(LinkRoute::kLan).open) << link->LastError();
    std::array<char, 4096> reply{};
    std::size_t length = 0;
    for (const std::string& expected : c.replies) {
      EXPECT_TRUE(link->Receive(reply, length)) << link->LastError();
      EXPECT_EQ(std::string(reply.data(), length), expected);
    }
    if (c.waited == nullptr) continue;
    reply.fill('x');
    length = 99;
    EXPECT_FALSE(link->Receive(reply, length));
    EXPECT_EQ(length, 0U);
    EXPECT_EQ(reply[0], '\0');
    EXPECT_EQ(link->LastError(), printer.NoAnswer(c.waited));
    printer.Failed(*link, LinkFailure::kNoAnswer);
  }
}

TYPED_TEST_P(LinkContract, UnreachablePrinterIsExplained) {
  TypeParam printer({});
  const auto link = printer.MakeUnreachableLink();
  const LinkOpening opening = link->Open(LinkRoute::kLan);
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link->LastError(), printer.Unreachable());
  EXPECT_FALSE(TypeParam::Open(*link));
  printer.Failed(*link, LinkFailure::kUnreachable);
  // A spooler session is kept for the first send, which fails with the reason.
  const auto session = printer.MakeUnreachableLink();
  EXPECT_TRUE(session->Open(LinkRoute::kSpoolerSession).open);
  EXPECT_FALSE(session->Send(wire::kOnlineSequence));
  EXPECT_EQ(session->LastError(), printer.Unreachable());
}

REGISTER_TYPED_TEST_SUITE_P(LinkContract, SendsEveryByteOnlyWhileOpen,
                            ReceiveGivesTheRepliesOrTheReason, UnreachablePrinterIsExplained);

}  // namespace rovant::testing
