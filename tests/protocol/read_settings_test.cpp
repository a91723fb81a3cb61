#include "protocol/read_settings.hpp"

#include "protocol/write_settings.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "tests/fakes/test_records.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using testing::Calls;
using testing::kOwner;
using testing::OperationTest;
using testing::ReplyLine;
using testing::SplitCalls;

const std::string kStatus = "status " + std::string(msg::kStatusReading);
const std::string kPitchLine = ReplyLine("MENU1", "PITCH", "12 CPI ");
const std::string kSettingsReply = "?NVRAM  :" + kPitchLine;
const std::string kOtherModelReply = "?MODEL  :HX310  \r\n" + kSettingsReply;

std::string Logged(const std::string& reply) { return "log reply " + std::to_string(reply.size()); }

class ReadSettings : public OperationTest {};
// What kSettingsReply holds: MENU1 PITCH at "12 CPI ".
const SettingsRecord kExpected = testing::WithChanges(kFactoryDefaults, "3=5");
constexpr ReadMode kRead = ReadMode::kRead;
constexpr ReadResult kFailed = ReadResult::kFailed;

TEST_F(ReadSettings, OtherModesOfAReadOrAWriteDoNothing) {
  for (const int mode : {0, 2, 4, 5, 6, 8, -1, 32767}) {
    EXPECT_EQ(ReadPrinterSettings(static_cast<ReadMode>(mode), kOwner, context), kFailed) << mode;
  }
  for (const int mode : {0, 3, 4, 7, 9, -1}) {
    EXPECT_EQ(WritePrinterSettings(static_cast<WriteMode>(mode), kOwner, context),
              WriteResult::kFailed)
        << mode;
  }
  EXPECT_TRUE(log.calls.empty());
}

struct ReadEnding {
  const char* name;
  ReadMode mode;
  std::string reply;  // what a receive hands back
  const char* sends;  // the printer's answers in order, '+' taken, '-' refused; then taken
  bool receives;
  bool pendingBefore;
  bool pendingAfter;
  ReadResult result;
  std::string calls;  // after the status window and the wait cursor, separated by '|'
  int portState = kPortLocal;
  bool mailboxOpens = true;
  std::string_view lanFailure = {};
};

const std::string kQueried =
    "link open spooler session|link send online|link send query settings|sleep 2000|link receive|";
const std::string kReadDone = "|link close|sleep 1200|status close|page refresh|cursor arrow";
const std::string kStartUpReply = "?MODEL  :HX320  \r\n?VER    :1.02   \r\n" + kSettingsReply;
const std::string kReadFailed = "|status close|link close|" +
                                OperationTest::Box(msg::kIconWarning, msg::kReadingFailed) +
                                "|cursor arrow";

const ReadEnding kEndings[] = {
    {"start-up over the LAN waits for the last no-response", ReadMode::kStartUp, kStartUpReply, "",
     true, true, false, ReadResult::kDone,
     "link open lan|sleep 5000|link send online|link send query model+settings|sleep 2000|"
     "link receive|" +
         Logged(kStartUpReply) + kReadDone,
     kPortLan},
    {"after a factory default", ReadMode::kAfterDefault, kSettingsReply, "", true, false, false,
     ReadResult::kDone, kQueried + Logged(kSettingsReply) + kReadDone},
    {"port that cannot be set up", kRead, "", "", true, true, true, kFailed,
     "cursor arrow|status close", 2},
    {"mailbox that cannot be created", kRead, "", "", true, false, false, kFailed,
     "link open spooler session|cursor arrow|status close", kPortLocal, false},
    {"LAN that cannot be opened", kRead, "", "", true, false, false, kFailed,
     "link open lan|status close|" + OperationTest::Box(msg::kIconError, msg::kLanNoResponse) +
         "|cursor arrow",
     kPortLan, true, msg::kLanNoResponse},
    {"online sequence refused", kRead, "", "-", true, false, false, kFailed,
     "link open spooler session|link send online|status close|cursor arrow|link close"},
    {"query refused: the next exchange waits", kRead, "", "+-", true, false, true, kFailed,
     "link open spooler session|link send online|link send query settings|status close|"
     "cursor arrow|link close"},
    {"nothing received after a wait for the last no-response", kRead, "", "", false, true, false,
     kFailed,
     "link open spooler session|sleep 5000|link send online|link send query settings|sleep 2000|"
     "link receive|log reply 0" +
         kReadFailed},
    {"reply without settings", kRead, kPitchLine, "", true, false, false, kFailed,
     kQueried + Logged(kPitchLine) + kReadFailed},
    {"another model: no message, the caller tells", ReadMode::kStartUp, kOtherModelReply, "", true,
     false, false, ReadResult::kOtherModel,
     "link open spooler session|link send online|link send query model+settings|sleep 2000|"
     "link receive|" +
         Logged(kOtherModelReply) + "|status close|link close|cursor arrow"},
};

class ReadEndingTest : public ReadSettings, public ::testing::WithParamInterface<ReadEnding> {};

TEST_P(ReadEndingTest, TakesTheSettingsOfADoneReadAndPutsEverythingRight) {
  const ReadEnding& c = GetParam();
  Arrange(c.portState, c.mailboxOpens, c.lanFailure, c.sends);
  link.receives = c.receives;
  link.replyText = c.reply;
  state.noResponsePending = c.pendingBefore;
  EXPECT_EQ(ReadPrinterSettings(c.mode, kOwner, context), c.result) << c.name;
  EXPECT_EQ(log.calls, testing::Join({{kStatus, "cursor wait"}, SplitCalls(c.calls)})) << c.name;
  EXPECT_EQ(state.noResponsePending, c.pendingAfter) << c.name;
  EXPECT_EQ(state.settings, c.result == ReadResult::kDone ? kExpected : kFactoryDefaults) << c.name;
  for (const MessageBoxRequest& box : boxes.shown) EXPECT_EQ(box.owner, kOwner) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Endings, ReadEndingTest, ::testing::ValuesIn(kEndings));

// Each bad value shows one report before the link ends; a length beyond the buffer is the buffer.
TEST_F(ReadSettings, ReadOnALocalPortReplacesTheRecord) {
  link.replyText = "?NVRAM  :" + ReplyLine("MENU2", "LINE SP", "9 LPI  ") +
                   ReplyLine("CONFIG", "GATHER", "MAYBE  ") +
                   ReplyLine("MENU1", "PITCH", "12 CPI ");
  link.reportedLength = 100000;
  state.settings = {};
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, context), ReadResult::kDone);
  EXPECT_EQ(log.calls,
            (Calls{kStatus, "cursor wait", "link open spooler session", "link send online",
                   "link send query settings", "sleep 2000", "link receive", "log reply 4096",
                   Box(msg::kIconInformation, {}, 126), Box(msg::kIconInformation, {}, 178),
                   "link close", "sleep 1200", "status close", "page refresh", "cursor arrow"}));
  EXPECT_EQ(host.logged[0].substr(0, link.replyText.size()), link.replyText);
  EXPECT_EQ(state.settings, kExpected);
  EXPECT_EQ(state.staging, kExpected);
  EXPECT_EQ(pages.shown, kExpected);
}

}  // namespace
}  // namespace rovant
