#include "protocol/read_settings.hpp"

#include "tests/fakes/operation_fixture.hpp"
#include "tests/fakes/test_records.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using testing::Calls;
using testing::kOwner;

using testing::ReplyLine;

const std::string kStatus = "status " + std::string(msg::kStatusReading);
const std::string kSettingsReply = "?NVRAM  :" + ReplyLine("MENU1", "PITCH", "12 CPI ");
const std::string kStartUpReply = "?MODEL  :HX320  \r\n?VER    :1.02   \r\n" + kSettingsReply;

class ReadSettings : public testing::OperationTest {
 protected:
  SettingsRecord Expected() const {
    SettingsRecord r = kFactoryDefaults;
    r[3] = 5;
    return r;
  }
  std::string Logged(const std::string& reply) const {
    return "log reply " + std::to_string(reply.size());
  }
};

TEST_F(ReadSettings, OtherModesDoNothing) {
  for (const int mode : {0, 2, 4, 5, 6, 8, -1, 32767}) {
    EXPECT_EQ(ReadPrinterSettings(static_cast<ReadMode>(mode), kOwner, context),
              ReadResult::kFailed)
        << mode;
  }
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(ReadSettings, ReadOnALocalPortReplacesTheRecord) {
  link.replyText = kSettingsReply;
  state.settings = {};
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(log.calls,
            (Calls{kStatus, "cursor wait", "link open spooler session", "link send online",
                   "link send query settings", "sleep 2000", "link receive", Logged(kSettingsReply),
                   "link close", "sleep 1200", "status close", "page refresh", "cursor arrow"}));
  EXPECT_EQ(state.settings, Expected());
  EXPECT_EQ(state.staging, Expected());
  EXPECT_EQ(pages.shown, Expected());
  EXPECT_FALSE(state.noResponsePending);
}

TEST_F(ReadSettings, ReadAfterDefaultSendsTheSettingsQueryOverLan) {
  link.replyText = kSettingsReply;
  state.selectedPrinter.portState = kPortLan;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kAfterDefault, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(log.calls[2], "link open lan");
  EXPECT_EQ(link.sent, (std::vector<std::string>{std::string(wire::kOnlineSequence),
                                                 std::string(wire::kQuerySettings)}));
}

TEST_F(ReadSettings, StartUpReadChecksTheModel) {
  link.replyText = kStartUpReply;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kStartUp, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(link.sent[1], wire::kQueryModelVersionSettings);
  EXPECT_EQ(state.connectedModel, 19);
  EXPECT_EQ(state.settings, Expected());
}

TEST_F(ReadSettings, AnotherModelEndsWithoutAMessage) {
  link.replyText = "?MODEL  :HX310  \r\n" + kSettingsReply;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kStartUp, kOwner, context), ReadResult::kOtherModel);
  EXPECT_EQ(log.calls,
            (Calls{kStatus, "cursor wait", "link open spooler session", "link send online",
                   "link send query model+settings", "sleep 2000", "link receive",
                   Logged(link.replyText), "status close", "link close", "cursor arrow"}));
  EXPECT_EQ(state.connectedModel, 17);
  EXPECT_EQ(state.settings, kFactoryDefaults);
}

TEST_F(ReadSettings, MailboxThatCannotBeCreatedEndsSilently) {
  link.mailboxOpens = false;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "link open spooler session", "cursor arrow",
                              "status close"}));
}

TEST_F(ReadSettings, LanThatCannotBeOpenedShowsItsReason) {
  state.selectedPrinter.portState = kPortLan;
  link.lanFailure = std::string(msg::kLanNoResponse);
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "link open lan", "status close",
                              Box(msg::kIconError, msg::kLanNoResponse), "cursor arrow"}));
  EXPECT_EQ(boxes.shown[0].owner, kOwner);
}

TEST_F(ReadSettings, PortThatCannotBeSetUpIsNotTouched) {
  state.selectedPrinter.portState = 2;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "cursor arrow", "status close"}));
}

TEST_F(ReadSettings, PendingNoResponseWaitsFiveSecondsFirst) {
  state.noResponsePending = true;
  link.replyText = kSettingsReply;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(log.calls[3], "sleep 5000");
  EXPECT_EQ(log.calls[4], "link send online");
  EXPECT_FALSE(state.noResponsePending);
}

TEST_F(ReadSettings, RefusedOnlineSequenceEndsWithoutSettingTheFlag) {
  link.sendResults = {false};
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "link open spooler session",
                              "link send online", "status close", "cursor arrow", "link close"}));
  EXPECT_FALSE(state.noResponsePending);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReadSettings, RefusedQuerySetsTheFlagAndTheNextReadWaits) {
  link.sendResults = {true, false};
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls,
            (Calls{kStatus, "cursor wait", "link open spooler session", "link send online",
                   "link send query settings", "status close", "cursor arrow", "link close"}));
  EXPECT_TRUE(state.noResponsePending);

  log.calls.clear();
  link.replyText = kSettingsReply;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(log.calls[3], "sleep 5000");
  EXPECT_FALSE(state.noResponsePending);
}

TEST_F(ReadSettings, FailedReceiveIsLoggedAndReported) {
  link.receives = false;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "link open spooler session",
                              "link send online", "link send query settings", "sleep 2000",
                              "link receive", "log reply 0", "status close", "link close",
                              Box(msg::kIconWarning, msg::kReadingFailed), "cursor arrow"}));
  EXPECT_FALSE(state.noResponsePending);
  EXPECT_EQ(state.settings, kFactoryDefaults);
}

TEST_F(ReadSettings, ReplyWithoutSettingsLeavesTheRecord) {
  link.replyText = ReplyLine("MENU1", "PITCH", "12 CPI ");
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kFailed);
  EXPECT_EQ(log.calls, (Calls{kStatus, "cursor wait", "link open spooler session",
                              "link send online", "link send query settings", "sleep 2000",
                              "link receive", Logged(link.replyText), "status close", "link close",
                              Box(msg::kIconWarning, msg::kReadingFailed), "cursor arrow"}));
  EXPECT_EQ(state.settings, kFactoryDefaults);
}

TEST_F(ReadSettings, EachBadValueShowsOneReportBeforeTheLinkEnds) {
  link.replyText = "?NVRAM  :" + ReplyLine("MENU2", "LINE SP", "9 LPI  ") +
                   ReplyLine("CONFIG", "GATHER", "MAYBE  ") +
                   ReplyLine("MENU1", "PITCH", "12 CPI ");
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  const Calls tail(log.calls.begin() + 8, log.calls.end());
  EXPECT_EQ(tail,
            (Calls{Box(msg::kIconInformation, {}, 126), Box(msg::kIconInformation, {}, 178),
                   "link close", "sleep 1200", "status close", "page refresh", "cursor arrow"}));
  EXPECT_NE(boxes.shown[0].text.find("\n\nLINE-SP\n\n"), std::string::npos);
  EXPECT_NE(boxes.shown[1].text.find("\n\nGATHRT\n\n"), std::string::npos);
  EXPECT_EQ(state.settings, Expected());
}

TEST_F(ReadSettings, ValueOutsideTheFinalEmulationsListIsReportedAndReset) {
  link.replyText = "?NVRAM  :" + ReplyLine("MENU1", "FONT", "DOWNLD1") +
                   ReplyLine("MENU1", "EMULATE", "ESC/P2 ");
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(log.calls[8], Box(msg::kIconInformation, {}, 102));
  EXPECT_EQ(state.settings[0], 2);
  EXPECT_EQ(state.settings[1], 0);
}

TEST_F(ReadSettings, OversizedLengthIsBoundedByTheBuffer) {
  link.replyText = kSettingsReply;
  link.reportedLength = 100000;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(host.logged[0].size(), 4096u);
}

}  // namespace
}  // namespace rovant
