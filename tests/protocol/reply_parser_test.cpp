#include "protocol/reply_parser.hpp"

#include <gtest/gtest.h>

#include <string>

#include "model/catalogue.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

using testing::ReplyLine;

std::string Header(std::string_view model = "HX320  ") {
  return "?MODEL  :" + std::string(model) + "\r\n?VER    :1.00   \r\n?NVRAM  :";
}

struct Reply {
  ReplyBuffer buffer{};
  std::size_t length = 0;
  explicit Reply(const std::string& text) {
    length = std::min(text.size(), buffer.size());
    std::copy_n(text.begin(), length, buffer.begin());
  }
};

ParsedReply Parse(const std::string& text, ReadMode mode = ReadMode::kRead,
                  ModelCode selected = ModelCode::kHx320, int connected = 0) {
  const Reply reply(text);
  SettingsRecord staging{};
  staging.fill(0xAA);
  return ParseReply(reply.buffer, reply.length, mode, selected, connected, staging);
}

TEST(ReplyParser, MarkerAloneGivesTheFactoryDefaults) {
  const ParsedReply parsed = Parse("?NVRAM  \r");
  EXPECT_EQ(parsed.result, ReadResult::kDone);
  EXPECT_EQ(parsed.staging, kFactoryDefaults);
  EXPECT_TRUE(parsed.reportedCodes.empty());
}

TEST(ReplyParser, NoMarkerFailsEvenWithValidLines) {
  const ParsedReply parsed = Parse(ReplyLine("MENU1", "PITCH", "12 CPI "));
  EXPECT_EQ(parsed.result, ReadResult::kFailed);
  EXPECT_FALSE(parsed.settingsSeen);
  EXPECT_EQ(parsed.staging[0], 0xAA) << "the staging record is untouched";
}

TEST(ReplyParser, ReadsLinesOfEveryBlock) {
  const ParsedReply parsed =
      Parse("?NVRAM  :" + ReplyLine("MENU1", "PITCH", "12 CPI ") +
            ReplyLine("MENU2", "LINE SP", "8 LPI  ") + ReplyLine("HARDWRE", "BUFFER", " 2KBYTE") +
            ReplyLine("HARDWRE", "BAUD-RT", "1200   ") + ReplyLine("ADJUST", "CNT-ORG", "1.8/6IN") +
            ReplyLine("ADJUST", "CNT-LFT", "- 9/90 ") + ReplyLine("CONFIG", "//S//", "ENABLE ") +
            ReplyLine("CONFIG", "TOF-CTL", "SETUP  "));
  ASSERT_EQ(parsed.result, ReadResult::kDone);
  SettingsRecord expected = kFactoryDefaults;
  expected[3] = 5;
  expected[27] = 7;
  expected[50] = 2;
  expected[53] = 3;
  expected[60] = 2;
  expected[64] = 1;
  expected[79] = 1;
  expected[86] = 1;
  EXPECT_EQ(parsed.staging, expected);
  EXPECT_TRUE(parsed.reportedCodes.empty());
}

TEST(ReplyParser, Menu2ZeroFontAndDc3GoToTheirRecords) {
  const ParsedReply parsed = Parse("?NVRAM  :" + ReplyLine("MENU2", "ZEROFNT", "SLASH  ") +
                                   ReplyLine("MENU2", "DC3-CDE", "DISABLE"));
  EXPECT_EQ(parsed.staging[42], 1);
  EXPECT_EQ(parsed.staging[41], 1);
  EXPECT_EQ(parsed.staging[18], 0);
}

TEST(ReplyParser, EmulationValueMustBeExactlySevenCharacters) {
  EXPECT_EQ(Parse("?NVRAM  :" + ReplyLine("MENU1", "EMULATE", "ESC/P2 ")).staging[0], 2);
  for (const char* bad : {"esc/p2 ", "ESC/P2\r"}) {
    const ParsedReply parsed = Parse("?NVRAM  :" + ReplyLine("MENU1", "EMULATE", bad));
    EXPECT_EQ(parsed.staging[0], 0) << bad;
    EXPECT_EQ(parsed.reportedCodes, std::vector<int>{101}) << bad;
  }
}

TEST(ReplyParser, FontListFollowsTheEmulationReadSoFar) {
  EXPECT_EQ(Parse("?NVRAM  :" + ReplyLine("MENU1", "FONT", "DOWNLD1")).staging[1], 18);
  const ParsedReply xl = Parse("?NVRAM  :" + ReplyLine("MENU1", "EMULATE", "XL24E  ") +
                               ReplyLine("MENU1", "FONT", "DOWNLD1"));
  EXPECT_EQ(xl.staging[1], 0);
  EXPECT_EQ(xl.reportedCodes, std::vector<int>{102});
}

TEST(ReplyParser, ValueReadBeforeItsEmulationIsSettledAfterTheScan) {
  // FONT "DOWNLD1" is valid under the default emulation, then MENU2 turns XL24E.
  const ParsedReply parsed =
      Parse("?NVRAM  :" + ReplyLine("MENU2", "FONT", "DOWNLD1") +
            ReplyLine("MENU2", "CHAR-W", "4 TIMES") + ReplyLine("MENU2", "LINE SP", "BAD    ") +
            ReplyLine("MENU2", "EMULATE", "XL24E  "));
  EXPECT_EQ(parsed.staging[23], 1);
  EXPECT_EQ(parsed.staging[24], 0) << "XL24E's reset value";
  EXPECT_EQ(parsed.staging[28], 0);
  // The scan's own report first, then the settled items in record order.
  EXPECT_EQ(parsed.reportedCodes, (std::vector<int>{126, 123, 127}));
  for (ItemIndex i = 0; i < kItemCount; ++i) EXPECT_TRUE(IsInList(i, parsed.staging)) << i;
}

TEST(ReplyParser, PageLengthLineIsReadUnderEitherList) {
  const ParsedReply parsed =
      Parse("?NVRAM  :" + ReplyLine("MENU1", "EMULATE", "ESC/P2 ") +
            ReplyLine("MENU1", "PAGE LG", "LINE   ") + ReplyLine("MENU1", "PG LX1", "9  LINE"));
  EXPECT_EQ(parsed.staging[8], 37);
  EXPECT_EQ(parsed.staging[10], 9);
}

TEST(ReplyParser, UnknownItemIsSkippedSilentlyAndTheNextLineRead) {
  const ParsedReply parsed = Parse("?NVRAM  :" + ReplyLine("CONFIG", "STATUS", "ENABLE ") +
                                   ReplyLine("CONFIG", "LOCK", "ALL    "));
  EXPECT_TRUE(parsed.reportedCodes.empty());
  EXPECT_EQ(parsed.staging[kStatusItem], 1);
  EXPECT_EQ(parsed.staging[78], 2);
}

TEST(ReplyParser, NoiseBetweenLinesIsSkippedAndLaterValuesWin) {
  const ParsedReply parsed =
      Parse("garbage?NVRAM  :xx" + ReplyLine("MENU1", "PITCH", "12 CPI ") + "\x01\xff noise MENU1" +
            ReplyLine("MENU1", "PITCH", "15 CPI ") + "MENU1   :PITCH   :");
  EXPECT_EQ(parsed.staging[3], 6);
  // The last line lost its value: its item is reported, its value stays.
  EXPECT_EQ(parsed.reportedCodes, std::vector<int>{104});
}

TEST(ReplyParser, EachBadValueIsReportedInReplyOrder) {
  const ParsedReply parsed =
      Parse("?NVRAM  :" + ReplyLine("CONFIG", "LOCK", "NEVER  ") +
            ReplyLine("MENU1", "LINE SP", "9 LPI  ") + ReplyLine("HARDWRE", "WORD-LG", "9 BIT  ") +
            ReplyLine("MENU1", "PG LX10", "99 LINE"));
  EXPECT_EQ(parsed.reportedCodes, (std::vector<int>{175, 105, 146, 184}));
  EXPECT_EQ(parsed.staging, kFactoryDefaults);
}

TEST(ReplyParser, StartUpReadChecksTheModel) {
  const ParsedReply other = Parse(Header("HX310  ") + ReplyLine("MENU1", "PITCH", "12 CPI "),
                                  ReadMode::kStartUp, ModelCode::kHx320, 0);
  EXPECT_EQ(other.result, ReadResult::kOtherModel);
  EXPECT_EQ(other.connectedModel, 17);
  EXPECT_EQ(other.staging[0], 0xAA);

  const ParsedReply same = Parse(Header("HX320  ") + ReplyLine("MENU1", "PITCH", "12 CPI "),
                                 ReadMode::kStartUp, ModelCode::kHx320, 0);
  EXPECT_EQ(same.result, ReadResult::kDone);
  EXPECT_EQ(same.connectedModel, 19);
  EXPECT_EQ(same.staging[3], 5);
}

TEST(ReplyParser, UnknownModelKeepsThePreviousOne) {
  EXPECT_EQ(Parse(Header("HX999  "), ReadMode::kStartUp, ModelCode::kHx320, 0).result,
            ReadResult::kOtherModel);
  const ParsedReply kept = Parse(Header("HX999  "), ReadMode::kStartUp, ModelCode::kHx320, 19);
  EXPECT_EQ(kept.result, ReadResult::kDone);
  EXPECT_EQ(kept.connectedModel, 19);
}

TEST(ReplyParser, StartUpReadWithoutModelMarkerFindsNoSettings) {
  const ParsedReply parsed = Parse("?NVRAM  :" + ReplyLine("MENU1", "PITCH", "12 CPI "),
                                   ReadMode::kStartUp, ModelCode::kHx320, 19);
  EXPECT_EQ(parsed.result, ReadResult::kFailed);
}

TEST(ReplyParser, SettingsMarkerIsSearchedAfterTheModel) {
  // A settings marker before the model marker is not the settings section.
  const ParsedReply parsed = Parse("?NVRAM  :" + Header("HX320  ").substr(0, 18),
                                   ReadMode::kStartUp, ModelCode::kHx320, 0);
  EXPECT_EQ(parsed.result, ReadResult::kFailed);
}

TEST(ReplyParser, OtherModesDoNotLookForTheModel) {
  const ParsedReply parsed =
      Parse(Header("HX310  "), ReadMode::kAfterDefault, ModelCode::kHx320, 0);
  EXPECT_EQ(parsed.result, ReadResult::kDone);
  EXPECT_EQ(parsed.connectedModel, 0);
}

TEST(ReplyParser, OnlyTheValidLengthIsScanned) {
  const std::string text = "?NVRAM  :" + ReplyLine("MENU1", "PITCH", "12 CPI ");
  const Reply reply(text);
  const ParsedReply cut =
      ParseReply(reply.buffer, 9, ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  EXPECT_EQ(cut.staging[3], 4) << "a line starting past the valid length is not read";
  const ParsedReply markerOutside =
      ParseReply(reply.buffer, 0, ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  EXPECT_EQ(markerOutside.result, ReadResult::kFailed);
}

TEST(ReplyParser, LineStartingInsideTheValidLengthMayRunPastIt) {
  // A match only has to start below the valid length.
  const std::string text = "?NVRAM  :" + ReplyLine("MENU1", "PITCH", "12 CPI ");
  const Reply reply(text);
  const ParsedReply parsed =
      ParseReply(reply.buffer, 10, ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  EXPECT_EQ(parsed.staging[3], 5);
}

TEST(ReplyParser, FullBufferNeverComparesPastItsEnd) {
  std::string text = "?NVRAM  :";
  while (text.size() + 27 <= kReplyBufferSize) text += ReplyLine("MENU1", "PITCH", "12 CPI ");
  text.resize(kReplyBufferSize - 20, '.');
  text += "MENU1   :PITCH   :12";  // a line cut by the end of the buffer
  ASSERT_EQ(text.size(), kReplyBufferSize);
  const ParsedReply parsed = Parse(text);
  EXPECT_EQ(parsed.result, ReadResult::kDone);
  EXPECT_EQ(parsed.staging[3], 5);
  EXPECT_EQ(parsed.reportedCodes, std::vector<int>{104}) << "the cut value cannot match";
  const ParsedReply endMarker = Parse(std::string(kReplyBufferSize - 4, '.') + "?NVR");
  EXPECT_EQ(endMarker.result, ReadResult::kFailed);
}

TEST(ReplyParser, ValidLengthBeyondTheBufferIsBounded) {
  const Reply reply("?NVRAM  :");
  const ParsedReply parsed =
      ParseReply(reply.buffer, 100000, ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  EXPECT_EQ(parsed.result, ReadResult::kDone);
}

}  // namespace
}  // namespace rovant
