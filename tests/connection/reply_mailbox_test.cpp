#include "connection/reply_mailbox.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "connection/lan_connection.hpp"
#include "connection/mailbox_link.hpp"
#include "connection/mailbox_names.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

#ifdef _WIN32
#include "connection/mailbox_platform_win32.hpp"
#endif

// The reply mailbox over a block in memory, the link on it, and the LAN route through the
// connection library; on Windows, the platform's named mutex.
namespace rovant {
namespace {

using testing::Calls;

// The system side played in memory: every lock call is recorded, and the
// "monitor" may change the block each time the lock is taken.
class RecordingPlatform final : public MailboxPlatform {
 public:
  explicit RecordingPlatform(testing::CallLog& log) : log_(log) {}
  std::span<std::uint8_t> MapBlock() override {
    log_.Add("map");
    if (!maps) return {};
    return block.bytes();
  }
  void UnmapBlock() override { log_.Add("unmap"); }
  bool OpenLock() override { return true; }
  LockWait WaitLock(unsigned milliseconds) override {
    ++waits;
    lastSlice = milliseconds;
    if (monitor) monitor(block);
    return lockAnswer;
  }
  void ReleaseLock() override { ++releases; }
  void CloseLock() override { ++closes; }
  void StartSpoolerJob() override { log_.Add("spooler job"); }

  MailboxBlock block;
  bool maps = true;
  LockWait lockAnswer = LockWait::kAcquired;
  std::function<void(MailboxBlock&)> monitor;
  int waits = 0, releases = 0, closes = 0;
  unsigned lastSlice = 0;

 private:
  testing::CallLog& log_;
};

class Mailbox : public ::testing::Test {
 protected:
  // The monitor answers with `status` once the program's command is in the block.
  void AnswerWith(std::uint32_t status, std::string reply = {}) {
    platform.monitor = [status, reply](MailboxBlock& b) {
      if (b.status() != kMailboxPending || b.command() == kMailboxIdle ||
          b.command() == kMailboxEndOfJob)
        return;
      if (b.command() == kMailboxReceive) {
        std::copy(reply.begin(), reply.end(), b.data().begin());
        b.set_length(static_cast<std::uint32_t>(reply.size()));
      }
      b.set_status(status);
    };
  }
  std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

  testing::CallLog log;
  RecordingPlatform platform{log};
  testing::FakeClock clock{log};
  ReplyMailbox mailbox{platform, clock};
};

class OpenMailbox : public Mailbox {
 protected:
  void SetUp() override { ASSERT_TRUE(mailbox.Open()); }
};

TEST_F(Mailbox, OpenClearsTheBlockOnceAndStaysOpenOnceMapped) {
  platform.maps = false;
  EXPECT_FALSE(mailbox.Open());
  EXPECT_FALSE(mailbox.IsOpen());
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, {}), 0u);
  platform.maps = true;
  platform.block.bytes()[7] = 0x55;
  ASSERT_TRUE(mailbox.Open());
  EXPECT_EQ(platform.block.bytes()[7], 0);
  platform.block.bytes()[7] = 0x66;
  ASSERT_TRUE(mailbox.Open());
  EXPECT_EQ(platform.block.bytes()[7], 0x66) << "a second open leaves the block";
  EXPECT_EQ(log.calls, (Calls{"map", "map"}));
}

TEST_F(OpenMailbox, SendAnsweredAtTheFirstLookReturnsOneAfter100Ms) {
  AnswerWith(kMailboxDone);
  const auto text = Bytes("?NVRAM  \rEXIT   \r");
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, text), 1u);
  EXPECT_EQ(clock.total, 100u);
  EXPECT_EQ(platform.block.length(), 17u);
  EXPECT_EQ(std::string(platform.block.data().begin(), platform.block.data().begin() + 17),
            "?NVRAM  \rEXIT   \r");
  EXPECT_EQ(platform.releases, platform.waits) << "every copy releases the mutex";
  EXPECT_EQ(platform.closes, platform.waits) << "and closes it";
  EXPECT_EQ(platform.lastSlice, 1000u);
}

TEST_F(OpenMailbox, DataLongerThanTheBlockIsCutAtIt) {
  AnswerWith(kMailboxDone);
  const std::vector<std::uint8_t> text(kMailboxDataSize + 4, 'x');
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, text), 1u);
  EXPECT_EQ(platform.block.length(), kMailboxDataSize);
  EXPECT_EQ(platform.block.status(), kMailboxDone) << "the fields after the data are kept";
}

TEST_F(OpenMailbox, StatusDecidesTheResult) {
  AnswerWith(kMailboxFailed);
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 0u);
  EXPECT_EQ(mailbox.lastFailure(), MailboxFailure::kMonitorFailed);
  AnswerWith(3);
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 2u) << "any other status: the command";
  EXPECT_EQ(mailbox.lastFailure(), MailboxFailure::kNone);
  EXPECT_EQ(mailbox.Exchange(kMailboxReceive, {}), 1u);
}

TEST_F(OpenMailbox, LateAnswerIsPolledEveryMillisecond) {
  int looks = 0;
  platform.monitor = [&looks](MailboxBlock& b) {
    if (b.status() == kMailboxPending && b.command() == kMailboxSend && ++looks > 6)
      b.set_status(kMailboxDone);
  };
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 1u);
  // Answered at the seventh look: 100 ms before the first, 1 ms after each of the six before it.
  EXPECT_EQ(clock.total, 100u + 6u);
}

// Each 1 ms sleep taking a whole 15.6 ms timer tick, as on a system whose
// timer runs coarse: the limit is still about 30 s of time, not of sleeps.
class CoarseClock final : public Clock {
 public:
  void SleepMs(unsigned milliseconds) override {
    ++sleeps;
    elapsedUs += std::max<std::uint64_t>(milliseconds * 1000ull, 15625);
  }
  std::uint64_t NowMs() override { return elapsedUs / 1000; }
  std::uint64_t elapsedUs = 0;
  int sleeps = 0;
};

TEST_F(Mailbox, SilentMonitorLimitIsOnRealTimeNotOnTheNumberOfPolls) {
  CoarseClock coarse;
  ReplyMailbox timed{platform, coarse};
  ASSERT_TRUE(timed.Open());
  EXPECT_EQ(timed.Exchange(kMailboxSend, Bytes("x")), 0u);
  EXPECT_EQ(timed.lastFailure(), MailboxFailure::kNoAnswer);
  EXPECT_GE(coarse.NowMs(), kMailboxAnswerLimitMs);
  EXPECT_LT(coarse.NowMs(), kMailboxAnswerLimitMs + 100);
  EXPECT_LT(coarse.sleeps, 2000) << "about 30 s of 15.6 ms ticks";
}

TEST_F(OpenMailbox, AbandonedMutexIsTakenOver) {
  AnswerWith(kMailboxDone);
  platform.lockAnswer = LockWait::kAbandoned;
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 1u);
}

TEST_F(OpenMailbox, HungMonitorCostsOneBoundPerJobNotOnePerCopy) {
  platform.lockAnswer = LockWait::kTimedOut;
  platform.waits = 0;
  mailbox.StartSpoolerSession();
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 0u);
  mailbox.End();
  EXPECT_EQ(platform.waits, static_cast<int>(kMailboxLockSlices) + 2);
  // The monitor lets go: the next copy gets the mutex, and a mutex never released again fails the
  // exchange within the full bound.
  platform.lockAnswer = LockWait::kAcquired;
  AnswerWith(kMailboxDone);
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 1u);
  platform.lockAnswer = LockWait::kTimedOut;
  platform.waits = platform.releases = 0;
  EXPECT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 0u);
  EXPECT_EQ(platform.waits, static_cast<int>(kMailboxLockSlices));
  EXPECT_EQ(platform.releases, 0);
  EXPECT_EQ(mailbox.lastFailure(), MailboxFailure::kLockTimedOut);
}

// A job: the block cleared, then the spooler job started; at its end command four, the status left.
TEST_F(OpenMailbox, SpoolerSessionClearsTheBlockAndEndWritesCommandFour) {
  platform.block.set_status(kMailboxDone);
  mailbox.StartSpoolerSession();
  EXPECT_EQ(platform.block.status(), 0u);
  EXPECT_EQ(log.calls.back(), "spooler job");
  AnswerWith(kMailboxDone);
  ASSERT_EQ(mailbox.Exchange(kMailboxSend, Bytes("x")), 1u);
  mailbox.End();
  EXPECT_EQ(platform.block.command(), kMailboxEndOfJob);
  EXPECT_EQ(platform.block.status(), kMailboxDone);
}

TEST(MailboxNames, GlobalNamespaceOutsideTheLocalOne) {
  EXPECT_EQ(MailboxNamesFor(true).mapping, "Vek TeleSet LM Connection MapFile");
  EXPECT_EQ(MailboxNamesFor(true).mutex, "Vek TeleSet LM Connection MapFile Mutex");
  EXPECT_EQ(MailboxNamesFor(false).mapping, "Global\\Vek TeleSet LM Connection MapFile");
  EXPECT_EQ(MailboxNamesFor(false).mutex, "Global\\Vek TeleSet LM Connection MapFile Mutex");
}

TEST_F(Mailbox, BlockFieldsAreLittleEndian) {
  MailboxBlock block;
  block.set_length(0x01020304);
  EXPECT_EQ(block.bytes()[MailboxBlock::kLengthOffset], 0x04);
  EXPECT_EQ(block.bytes()[MailboxBlock::kLengthOffset + 3], 0x01);
}

// The mailbox comes first on either route and fails in silence; the spooler
// job follows only on its own route; the LAN route without a connection says so.
TEST_F(Mailbox, LinkOpensTheMailboxThenTheRoute) {
  const std::tuple<LinkRoute, bool, bool, std::string_view, Calls> cases[] = {
      {LinkRoute::kSpoolerSession, true, true, "", {"map", "spooler job"}},
      {LinkRoute::kSpoolerSession, false, false, "", {"map"}},
      {LinkRoute::kLan, false, false, "", {"map"}},
      {LinkRoute::kLan, true, false, msg::kLanInitFailed, {"map"}}};
  for (const auto& [route, maps, open, message, calls] : cases) {
    testing::CallLog own;
    RecordingPlatform fresh{own};
    fresh.maps = maps;
    ReplyMailbox box{fresh, clock};
    MailboxLink link(box);
    const LinkOpening opening = link.Open(route);
    EXPECT_EQ(opening.open, open);
    EXPECT_EQ(opening.message, message);
    EXPECT_EQ(own.calls, calls);
    EXPECT_EQ(link.LastError(), "") << "opening is no exchange";
  }
}

TEST_F(Mailbox, LinkTellsTheMailboxsLastFailure) {
  MailboxLink link(mailbox);
  ASSERT_TRUE(link.Open(LinkRoute::kSpoolerSession).open);
  AnswerWith(kMailboxFailed);
  EXPECT_FALSE(link.Send("x"));
  EXPECT_EQ(link.LastError(), msg::kMonitorPortFailed);
  AnswerWith(kMailboxDone);
  EXPECT_TRUE(link.Send("x"));
  EXPECT_EQ(link.LastError(), "");
}

TEST_F(Mailbox, LinkReceivesTheReplyAndBoundsItsLength) {
  MailboxLink link(mailbox);
  ASSERT_TRUE(link.Open(LinkRoute::kSpoolerSession).open);
  AnswerWith(kMailboxDone, "?NVRAM  :");
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(std::string(reply.data(), length), "?NVRAM  :");

  platform.monitor = [](MailboxBlock& b) {
    if (b.status() == kMailboxPending && b.command() == kMailboxReceive) {
      b.set_length(0xFFFFFFFF);
      b.set_status(kMailboxDone);
    }
  };
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(length, 4096u);

  AnswerWith(kMailboxDone, "");  // an empty reply is a receive all the same
  EXPECT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(length, 0u);
}

// The LAN library's seven calls, recorded and answered by a simulated printer; `failing` fails.
class FakeLanLibrary final : public LanLibrary {
 public:
  FakeLanLibrary(testing::CallLog& log, sim::SimulatedPrinter& printer, const std::string& failing)
      : log_(log), printer_(printer), failing_(failing) {}
  ~FakeLanLibrary() override { log_.Add("lan unload"); }
  bool Startup() override { return Call("startup"); }
  LanPort OpenPort(std::string_view portText) override {
    return Call("open", " " + std::string(portText)) ? LanPort{7} : kLanNoPort;
  }
  bool WritePort(LanPort, std::span<const std::uint8_t> bytes, std::size_t& written) override {
    if (!Call("write", " " + std::to_string(bytes.size()))) return false;
    written = bytes.size();
    return printer_.Accept(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  bool ReadPort(LanPort, std::span<std::uint8_t> buffer, std::size_t& received) override {
    if (!Call("read")) return false;
    std::array<char, 4096> reply{};
    const bool ok = printer_.Reply(reply, received);
    std::copy_n(reply.begin(), received, reinterpret_cast<char*>(buffer.data()));
    return ok;
  }
  void GetError(LanPort) override { log_.Add("lan get error"); }
  bool ClosePort(LanPort) override { return Call("close"); }
  bool Cleanup() override { return Call("cleanup"); }

 private:
  bool Call(const std::string& name, const std::string& detail = {}) {
    log_.Add("lan " + name + detail);
    return failing_ != name;
  }
  testing::CallLog& log_;
  sim::SimulatedPrinter& printer_;
  const std::string& failing_;
};

// The fixture loads the library, unless `loads` is false.
class Lan : public testing::OperationTest, public LanLoader {
 protected:
  Lan() { state.selectedPrinter.portState = kPortLan; }
  std::unique_ptr<LanLibrary> Load() override {
    log.Add("lan load");
    return loads ? std::make_unique<FakeLanLibrary>(log, printer, failing) : nullptr;
  }
  bool loads = true;
  std::string failing;
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  LanConnection lan{*this, clock, boxes, 0x99};
  MemoryMailbox shared;
  MemoryMailboxPlatform platform{shared};
  ReplyMailbox mailbox{platform, clock};
  MailboxLink lanLink{mailbox, lan, "192.168.1.20"};
  PrinterOperationContext viaLan{state, lanLink, clock, host, cursor, boxes, pages};
};

// The calls and the waits; that the settings reach the printer and come back is the e2e LAN tests'.
TEST_F(Lan, TransferSendsEachPieceBetweenOneSecondWaits) {
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaLan),
            WriteResult::kDone);
  const auto first = std::find(log.calls.begin(), log.calls.end(), "lan load");
  EXPECT_EQ(Calls(first, log.calls.end()),
            (Calls{"lan load", "lan startup", "lan open 192.168.1.20", "sleep 1000", "lan write 8",
                   "sleep 1000", "sleep 1000", "lan write 1160", "sleep 1000", "sleep 1000",
                   "lan write 16", "sleep 1000", "lan close", "lan cleanup", "lan unload",
                   "sleep 2000", "status close", "cursor arrow"}));
}

TEST_F(Lan, ReadStoresTheCountInTheMailboxMirror) {
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kStartUp, testing::kOwner, viaLan), ReadResult::kDone);
  EXPECT_GT(mailbox.mirror().length(), 2000u);
  EXPECT_EQ(host.logged[0].size(), mailbox.mirror().length());
}

// What an open gives when the library does not load or a call fails: the reason, and nothing
// left loaded.
TEST_F(Lan, OpenFailureGivesTheReasonAndLeavesNothingLoaded) {
  const std::tuple<bool, std::string, std::string_view, std::string_view> cases[] = {
      {false, "", msg::kLanInitFailed, "lan load"},
      {true, "startup", msg::kLanInitFailed, "lan load|lan startup|lan unload"},
      {true, "open", msg::kLanNoResponse,
       "lan load|lan startup|lan open host|lan cleanup|lan unload"}};
  for (const auto& [loading, call, text, calls] : cases) {
    log.calls.clear();
    loads = loading;
    failing = call;
    const Expected<void> opened = lan.Open("host");
    ASSERT_FALSE(opened) << call;
    EXPECT_EQ(opened.error(), text);
    EXPECT_EQ(log.calls, testing::SplitCalls(calls));
    EXPECT_FALSE(lan.IsOpen());
  }
}

// A failed call is shown to the main window after the library's waits; a failed release unloads
// the library all the same.
TEST_F(Lan, FailedCallsAreShownAfterTheWaits) {
  const std::pair<std::string, std::string> cases[] = {
      // the failing call, the calls it makes
      {"write", "sleep 1000|lan write 1|sleep 1000|lan get error|" +
                    Box(msg::kIconError, msg::kLanSendFailed)},
      {"read", "lan read|sleep 1000|lan get error|" + Box(msg::kIconError, msg::kLanReceiveFailed)},
      {"close", "lan close|lan unload|" + Box(msg::kIconError, msg::kLanReleaseFailed)}};
  std::array<char, 4096> reply{};
  const std::uint8_t byte = 1;
  for (const auto& [call, calls] : cases) {
    failing = call;
    ASSERT_TRUE(lan.Open("host"));
    log.calls.clear();
    if (call == "close") {
      lan.Close();
    } else {
      const bool sending = call == "write";
      EXPECT_FALSE(lan.Transfer(sending ? kLanSend : kLanReceive, std::span(&byte, sending ? 1 : 0),
                                reply, mailbox.mirror()));
    }
    EXPECT_EQ(log.calls, testing::SplitCalls(calls));
    EXPECT_EQ(boxes.shown.back().owner, 0x99u);
    lan.Close();
    EXPECT_FALSE(lan.IsOpen());
  }
  EXPECT_EQ(mailbox.mirror().length(), 0u);
  EXPECT_FALSE(lan.Transfer(3, {}, reply, mailbox.mirror())) << "no such operation";
}

#ifdef _WIN32
// The named mutex as the mailbox waits for it: one its holder abandoned is told apart, for the
// mailbox to take it over (OpenMailbox.AbandonedMutexIsTakenOver).
TEST(Win32MailboxPlatform, TellsAnAbandonedMutexApart) {
  const MailboxNames names{"rovant-test MapFile", "rovant-test MapFile Mutex"};
  Win32MailboxPlatform platform{names};
  ASSERT_TRUE(platform.OpenLock());
  std::thread([&names] {
    Win32MailboxPlatform holder{names};
    ASSERT_TRUE(holder.OpenLock());
    ASSERT_EQ(holder.WaitLock(0), LockWait::kAcquired);  // and the thread ends holding it
  }).join();
  EXPECT_EQ(platform.WaitLock(0), LockWait::kAbandoned);
  platform.ReleaseLock();
}
#endif

}  // namespace
}  // namespace rovant
