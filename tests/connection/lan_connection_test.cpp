#include "connection/lan_connection.hpp"

#include <gtest/gtest.h>

#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using testing::Calls;

// The library's seven calls, recorded, answered by a simulated printer.
class FakeLanLibrary final : public LanLibrary {
 public:
  FakeLanLibrary(testing::CallLog& log, sim::SimulatedPrinter& printer, std::string failing)
      : failing_(std::move(failing)), log_(log), printer_(printer) {}
  ~FakeLanLibrary() override { log_.Add("lan unload"); }
  bool Startup() override { return Call("startup", "startup"); }
  LanPort OpenPort(std::string_view portText) override {
    return Call("open " + std::string(portText), "open") ? LanPort{7} : kLanNoPort;
  }
  bool WritePort(LanPort, std::span<const std::uint8_t> bytes, std::size_t& written) override {
    if (!Call("write " + std::to_string(bytes.size()), "write")) return false;
    written = bytes.size();
    return printer_.Accept(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  bool ReadPort(LanPort, std::span<std::uint8_t> buffer, std::size_t& received) override {
    if (!Call("read", "read")) return false;
    std::array<char, 4096> reply{};
    const bool ok = printer_.Reply(reply, received);
    std::copy_n(reply.begin(), received, reinterpret_cast<char*>(buffer.data()));
    return ok;
  }
  void GetError(LanPort) override { log_.Add("lan get error"); }
  bool ClosePort(LanPort) override { return Call("close", "close"); }
  bool Cleanup() override { return Call("cleanup", "cleanup"); }

 private:
  bool Call(const std::string& entry, const std::string& name) {
    log_.Add("lan " + entry);
    return failing_ != name;
  }
  std::string failing_;  // the call that fails
  testing::CallLog& log_;
  sim::SimulatedPrinter& printer_;
};

class FakeLanLoader final : public LanLoader {
 public:
  FakeLanLoader(testing::CallLog& log, sim::SimulatedPrinter& printer)
      : log_(log), printer_(printer) {}
  std::unique_ptr<LanLibrary> Load() override {
    log_.Add("lan load");
    if (!loads) return nullptr;
    return std::make_unique<FakeLanLibrary>(log_, printer_, failing);
  }
  bool loads = true;
  std::string failing;

 private:
  testing::CallLog& log_;
  sim::SimulatedPrinter& printer_;
};

class Lan : public testing::OperationTest {
 protected:
  Lan() { state.selectedPrinter.portState = kPortLan; }
  sim::SimulatedPrinter printer{ModelCode::kHx320, kFactoryDefaults};
  FakeLanLoader loader{log, printer};
  LanConnection lan{loader, clock, boxes, 0x99};
  MemoryMailbox shared;
  MemoryMailboxPlatform platform{shared};
  ReplyMailbox mailbox{platform, clock};
  MailboxLink lanLink{mailbox, lan, "192.168.1.20"};
  PrinterOperationContext viaLan{state, lanLink, clock, host, cursor, boxes, pages};
};

TEST_F(Lan, TransferSendsEachPieceBetweenOneSecondWaits) {
  state.settings[3] = 5;
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaLan),
            WriteResult::kDone);
  EXPECT_EQ(printer.memory()[3], 5);
  const auto first = std::find(log.calls.begin(), log.calls.end(), "lan load");
  EXPECT_EQ(Calls(first, log.calls.end()),
            (Calls{"lan load", "lan startup", "lan open 192.168.1.20", "sleep 1000", "lan write 8",
                   "sleep 1000", "sleep 1000", "lan write 1160", "sleep 1000", "sleep 1000",
                   "lan write 16", "sleep 1000", "lan close", "lan cleanup", "lan unload",
                   "sleep 2000", "status close", "cursor arrow"}));
}

TEST_F(Lan, ReadStoresTheCountInTheMailboxMirror) {
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kStartUp, testing::kOwner, viaLan), ReadResult::kDone);
  EXPECT_EQ(state.connectedModel, 19);
  EXPECT_GT(mailbox.mirror().length(), 2000u);
  EXPECT_EQ(host.logged[0].size(), mailbox.mirror().length());
}

struct OpenCase {
  const char* name;
  bool loads;
  std::string failing;
  std::string_view text;
  Calls calls;
};

class LanOpenFailure : public Lan, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(LanOpenFailure, GivesTheReasonAndLeavesNothingLoaded) {
  const OpenCase& c = GetParam();
  loader.loads = c.loads;
  loader.failing = c.failing;
  const Expected<void> opened = lan.Open("host");
  ASSERT_FALSE(opened) << c.name;
  EXPECT_EQ(opened.error(), c.text);
  EXPECT_EQ(log.calls, c.calls);
  EXPECT_FALSE(lan.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LanOpenFailure,
    ::testing::Values(OpenCase{"no library", false, "", msg::kLanInitFailed, {"lan load"}},
                      OpenCase{"startup",
                               true,
                               "startup",
                               msg::kLanInitFailed,
                               {"lan load", "lan startup", "lan unload"}},
                      OpenCase{"port",
                               true,
                               "open",
                               msg::kLanNoResponse,
                               {"lan load", "lan startup", "lan open host", "lan cleanup",
                                "lan unload"}}));

TEST_F(Lan, FailedSendAndReceiveAreShownAfterTheWaits) {
  loader.failing = "write";
  ASSERT_TRUE(lan.Open("host"));
  std::array<char, 4096> reply{};
  const std::uint8_t byte = 1;
  log.calls.clear();
  EXPECT_FALSE(lan.Transfer(kLanSend, std::span(&byte, 1), reply, mailbox.mirror()));
  EXPECT_EQ(log.calls, (Calls{"sleep 1000", "lan write 1", "sleep 1000", "lan get error",
                              "box 128/187: " + std::string(msg::kLanSendFailed)}));
  EXPECT_EQ(boxes.shown.back().owner, 0x99u);
  lan.Close();

  loader.failing = "read";
  ASSERT_TRUE(lan.Open("host"));
  log.calls.clear();
  EXPECT_FALSE(lan.Transfer(kLanReceive, {}, reply, mailbox.mirror()));
  EXPECT_EQ(log.calls, (Calls{"lan read", "sleep 1000", "lan get error",
                              "box 128/187: " + std::string(msg::kLanReceiveFailed)}));
  EXPECT_EQ(mailbox.mirror().length(), 0u);
  EXPECT_FALSE(lan.Transfer(3, {}, reply, mailbox.mirror())) << "no such operation";
}

TEST_F(Lan, FailedReleaseIsShownAndTheLibraryUnloaded) {
  loader.failing = "close";
  ASSERT_TRUE(lan.Open("host"));
  log.calls.clear();
  lan.Close();
  EXPECT_EQ(log.calls, (Calls{"lan close", "lan unload",
                              "box 128/187: " + std::string(msg::kLanReleaseFailed)}));
  EXPECT_FALSE(lan.IsOpen());
}

TEST_F(Lan, RefusedPortShowsTheReasonToTheCallersOwner) {
  loader.failing = "open";
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, testing::kOwner, viaLan),
            WriteResult::kFailed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            (MessageBoxRequest{testing::kOwner, std::string(msg::kLanNoResponse), 0x80, 187}));
}

}  // namespace
}  // namespace rovant
