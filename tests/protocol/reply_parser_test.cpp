#include "protocol/reply_parser.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <sstream>
#include <string>

#include "model/catalogue.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

using testing::ReplyLine;

constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();
constexpr std::uint8_t kUntouched = 0xAA;

std::string Header(std::string_view model) {
  return "?MODEL  :" + std::string(model) + "\r\n?VER    :1.00   \r\n?NVRAM  :";
}
// "?NVRAM  :" and one reply line for each "BLOCK|ITEM=VALUE" between semicolons.
std::string Settings(std::string_view lines) {
  std::string text = "?NVRAM  :";
  while (!lines.empty()) {
    const std::string_view line = lines.substr(0, lines.find(';'));
    lines.remove_prefix(std::min(lines.size(), line.size() + 1));
    const std::size_t bar = line.find('|');
    const std::size_t is = line.find('=');
    text += ReplyLine(line.substr(0, bar), line.substr(bar + 1, is - bar - 1), line.substr(is + 1));
  }
  return text;
}
const std::string kPitch12 = ReplyLine("MENU1", "PITCH", "12 CPI ");
const std::string kPitchReply = "?NVRAM  :" + kPitch12;

// A full buffer of PITCH lines whose last line is cut inside its value.
std::string FullBufferWithCutLine() {
  std::string text = "?NVRAM  :";
  while (text.size() + 27 <= kReplyBufferSize) text += kPitch12;
  text.resize(kReplyBufferSize - 20, '.');
  return text + "MENU1   :PITCH   :12";
}

struct ParseCase {
  const char* name;
  std::string reply;
  ReadResult result;
  const char* changed;  // "item=value ...", against the factory defaults
  const char* codes;    // reported, in order
  ReadMode mode = ReadMode::kRead;
  int connectedBefore = 0;
  int connectedAfter = 0;
  std::size_t length = kWhole;  // the valid length handed over
};

constexpr ReadResult kDone = ReadResult::kDone;
constexpr ReadResult kFailed = ReadResult::kFailed;
constexpr ReadResult kOther = ReadResult::kOtherModel;
constexpr ReadMode kRead = ReadMode::kRead;
constexpr ReadMode kStartUp = ReadMode::kStartUp;

// The selected printer is an HX320 (19); an HX310 is 17. A reply that fails
// leaves the staging record untouched.
const ParseCase kCases[] = {
    {"marker alone gives the factory defaults", "?NVRAM  \r", kDone, "", ""},
    {"no marker fails even with valid lines", kPitch12, kFailed, "", ""},
    {"the marker has two blanks", "?NVRAM :" + kPitch12, kFailed, "", ""},
    {"lines of every block",
     Settings(
         "MENU1|PITCH=12 CPI ;MENU2|LINE SP=8 LPI  ;HARDWRE|BUFFER= 2KBYTE;HARDWRE|BAUD-RT=1200 "
         "  ;ADJUST|CNT-ORG=1.8/6IN;ADJUST|CNT-LFT=- 9/90 ;CONFIG|//S//=ENABLE ;CONFIG|TOF-CTL="
         "SETUP  "),
     kDone, "3=5 27=7 50=2 53=3 60=2 64=1 79=1 86=1", ""},
    {"MENU2 ZEROFNT and DC3-CDE go to their records",
     Settings("MENU2|ZEROFNT=SLASH  ;MENU2|DC3-CDE=DISABLE"), kDone, "42=1 41=1", ""},
    {"emulation of seven characters", Settings("MENU1|EMULATE=ESC/P2 "), kDone, "0=2", ""},
    {"emulation in the wrong case", Settings("MENU1|EMULATE=esc/p2 "), kDone, "", "101"},
    {"emulation of six characters", Settings("MENU1|EMULATE=ESC/P2\r"), kDone, "", "101"},
    {"font of the default emulation's list", Settings("MENU1|FONT=DOWNLD1"), kDone, "1=18", ""},
    {"font list follows the emulation read so far",
     Settings("MENU1|EMULATE=XL24E  ;MENU1|FONT=DOWNLD1"), kDone, "0=1", "102"},
    // FONT and CHAR-W are valid under the default emulation, then MENU2 turns XL24E: after
    // the scan's own report, the settled items in record order, at XL24E's reset values.
    {"value read before its block's EMULATE line",
     Settings(
         "MENU2|FONT=DOWNLD1;MENU2|CHAR-W=4 TIMES;MENU2|LINE SP=BAD    ;MENU2|EMULATE=XL24E  "),
     kDone, "23=1 24=0 28=0", "126 123 127"},
    {"page length line under the ESC/P2 list",
     Settings("MENU1|EMULATE=ESC/P2 ;MENU1|PAGE LG=LINE   ;MENU1|PG LX1=9  LINE"), kDone,
     "0=2 8=37 10=9", ""},
    {"unknown item skipped silently", Settings("CONFIG|STATUS=ENABLE ;CONFIG|LOCK=ALL    "), kDone,
     "78=2", ""},
    {"noise skipped, later values win, a line without value reported",
     "garbage?NVRAM  :xx" + kPitch12 + "\x01\xff noise MENU1" +
         ReplyLine("MENU1", "PITCH", "15 CPI ") + "MENU1   :PITCH   :",
     kDone, "3=6", "104"},
    {"each bad value reported in reply order",
     Settings("CONFIG|LOCK=NEVER  ;MENU1|LINE SP=9 LPI  ;HARDWRE|WORD-LG=9 BIT  ;MENU1|PG LX10=99 "
              "LINE"),
     kDone, "", "175 105 146 184"},
    {"start-up: another model", Header("HX310  ") + kPitch12, kOther, "", "", kStartUp, 0, 17},
    {"start-up: another model after the selected one", Header("HX310  "), kOther, "", "", kStartUp,
     19, 17},
    {"start-up: the selected model", Header("HX320  ") + kPitch12, kDone, "3=5", "", kStartUp, 0,
     19},
    {"start-up: an unknown model first", Header("HX999  "), kOther, "", "", kStartUp, 0, 0},
    {"start-up: an unknown model keeps the previous one", Header("HX999  "), kDone, "", "",
     kStartUp, 19, 19},
    {"start-up: no model marker", kPitchReply, kFailed, "", "", kStartUp, 19, 19},
    {"start-up: the settings marker is searched after the model",
     "?NVRAM  :" + Header("HX320  ").substr(0, 18), kFailed, "", "", kStartUp, 0, 19},
    {"other modes do not look for the model", Header("HX310  "), kDone, "", "",
     ReadMode::kAfterDefault},
    {"a full buffer never compares past its end", FullBufferWithCutLine(), kDone, "3=5", "104"},
    {"a marker ending on the buffer's last byte",
     std::string(kReplyBufferSize - 8, '.') + "?NVRAM  ", kDone, "", ""},
    {"a marker cut by the buffer's end", std::string(kReplyBufferSize - 4, '.') + "?NVR", kFailed,
     "", ""},
    {"a line starting past the valid length", kPitchReply, kDone, "", "", kRead, 0, 0, 9},
    {"a line starting inside the valid length may run past it", kPitchReply, kDone, "3=5", "",
     kRead, 0, 0, 10},
    {"a bad value at the valid length lets no old line after it count",
     "?NVRAM  :MENU1   :PITCH   :" + ReplyLine("ADJUST", "CNT-ORG", "3 /6 IN"), kDone, "", "104",
     kRead, 0, 0, 27},
    {"nothing valid", kPitchReply, kFailed, "", "", kRead, 0, 0, 0},
    {"a length beyond the buffer is bounded", "?NVRAM  :", kDone, "", "", kRead, 0, 0, 100000},
};

TEST(ReplyParser, ParsesAsTheTableSays) {
  for (const ParseCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ReplyBuffer buffer{};
    ASSERT_LE(c.reply.size(), buffer.size());
    std::copy(c.reply.begin(), c.reply.end(), buffer.begin());
    SettingsRecord staging{};
    staging.fill(kUntouched);
    const ParsedReply parsed = ParseReply(buffer, c.length == kWhole ? c.reply.size() : c.length,
                                          c.mode, ModelCode::kHx320, c.connectedBefore, staging);
    EXPECT_EQ(parsed.result, c.result);
    EXPECT_EQ(parsed.settingsSeen, c.result == kDone);
    EXPECT_EQ(parsed.staging,
              testing::WithChanges(c.result == kDone ? kFactoryDefaults : staging, c.changed));
    std::istringstream codeText(c.codes);
    const std::vector<int> codes{std::istream_iterator<int>(codeText), {}};
    EXPECT_EQ(parsed.reportedCodes, codes);
    EXPECT_EQ(parsed.connectedModel, c.connectedAfter);
  }
}

}  // namespace
}  // namespace rovant
