// Sessions: setup from the online sequence only, what each send answers and changes, the lines of
// "?NVRAM  ", the printed list and the setting text as the printer carries it out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "protocol/command_strings.hpp"
#include "protocol/setting_text.hpp"
#include "sim/settings_lines.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant::sim {
namespace {

using rovant::testing::RandomRecord;
using rovant::testing::WithChanges;

// Collects the reply; fails the test when the printer gives none.
std::string Collect(SimulatedPrinter& printer) {
  std::array<char, kReplyLimit> buffer{};
  std::size_t length = 0;
  EXPECT_TRUE(printer.Reply(buffer, length));
  return std::string(buffer.data(), length);
}

// The online sequence, then each send; returns the reply and ends the session.
std::string Session(SimulatedPrinter& printer, std::initializer_list<std::string_view> sends) {
  EXPECT_TRUE(printer.Accept(wire::kOnlineSequence));
  for (const std::string_view send : sends) EXPECT_TRUE(printer.Accept(send));
  std::string reply = Collect(printer);
  printer.EndSession();
  return reply;
}

// MENU1 PITCH 2.5CPI: unlike the factory's 10 CPI, and an emulation reset would make it 10 CPI.
const SettingsRecord kStart = WithChanges(kFactoryDefaults, "3=0");
const std::string kVersion = "?VER    :1.02   \r\n";

TEST(SimSession, NothingIsCarriedOutBeforeTheOnlineSequenceAloneInItsSend) {
  SimulatedPrinter printer(ModelCode::kHx320, kStart);
  EXPECT_TRUE(printer.Accept("?MODEL  \rDEFAULT\r"));
  EXPECT_EQ(Collect(printer), "");
  EXPECT_TRUE(printer.Accept("x" + std::string(wire::kOnlineSequence)));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_TRUE(printer.Accept(std::string(wire::kOnlineSequence) + "DEFAULT\r"));
  EXPECT_FALSE(printer.inSetup());
  EXPECT_EQ(printer.current(), kStart);
  EXPECT_TRUE(printer.Accept(wire::kOnlineSequence));
  EXPECT_TRUE(printer.inSetup());
}

struct SendCase {
  const char* name;
  ModelCode model;
  std::string send;  // after the online sequence, in one send
  std::string reply;
  const char* current;  // "item=value ...": all other bytes stay as kStart has them
  const char* memory;
};

TEST(SimSession, EachSendDoesWhatThePrinterWould) {
  constexpr ModelCode k310 = ModelCode::kHx310;
  constexpr ModelCode k320 = ModelCode::kHx320;
  // name, model, send, reply, current, memory
  const SendCase cases[] = {
      {"joined queries", k320, std::string(wire::kQueryModelVersionSettings),
       "?MODEL  :HX320  \r\n" + kVersion + "?NVRAM  :" + SettingsLines(kStart, k320), "", ""},
      {"an unknown query", k320, "?FOO    \r", "", "", ""},
      {"a query without CR", k320, "?MODEL  ", "", "", ""},
      {"nothing after EXIT", k320, "MENU1  :PITCH  :12 CPI \rEXIT   \r?MODEL  \rSAVE   \r", "",
       "3=5", ""},
      {"DEFAULT without SAVE", k320, "DEFAULT\r", "", "3=4", ""},
      {"DEFAULT, SAVE", k320, "DEFAULT\rSAVE   \r", "", "3=4", "3=4"},
      {"overlong junk skipped up to its CR", k320, std::string(500, 'A') + "DEFAULT\r?VER    \r",
       kVersion, "", ""},
      {"first entry follows the section name", k320, "MENU1  :PITCH  :12 CPI \r", "", "3=5", ""},
      {"later entries keep the section", k320, "MENU2  :PITCH  :12 CPI \rLINE SP:1 LPI  \r", "",
       "26=5 27=0", ""},
      {"MENU2 ZEROFNT is record 42", k320, "MENU2  :ZEROFNT:SLASH  \r", "", "42=1", ""},
      {"MENU2 DC3-CDE is record 41", k320, "MENU2  :DC3-CDE:DISABLE\r", "", "41=1", ""},
      {"EMULATE switches lists without a reset", k320, "MENU1  :EMULATE:ESC/P2 \rPAGE LG:LINE   \r",
       "", "0=2 8=37", ""},
      {"a label outside the new list", k320, "MENU1  :EMULATE:XL24E  \rCHAR-W :4 TIMES\r", "",
       "0=1", ""},
      {"a read-only item", k320, "HARDWRE:BUZZER :OFF    \rINTRFCE:PARALEL\r", "", "48=1", ""},
      {"HX320 takes WIDTH", k320, "MENU1  :WIDTH  :8.0 IN \r", "", "17=0", ""},
      {"HX310 ignores WIDTH", k310, "MENU1  :WIDTH  :8.0 IN \r", "", "", ""},
      {"HX320 takes CSF-ADJ", k320, "ADJUST :CSF-ADJ:GRAPHIC\r", "", "67=7", ""},
      {"HX310 ignores CSF-ADJ", k310, "ADJUST :CSF-ADJ:GRAPHIC\r", "", "", ""},
      {"an unknown keyword", k320, "MENU1  :BOGUS  :12 CPI \rPITCH  :12 CPI \r", "", "3=5", ""},
      {"an unknown label", k320, "MENU1  :PITCH  :99 CPI \r", "", "", ""},
      {"a keyword of another block", k320, "MENU1  :BUZZER :OFF    \r", "", "", ""},
      {"an entry without section", k320, "PITCH  :12 CPI \r", "", "", ""},
      {"a malformed entry", k320, "MENU1  :PITCH  =12 CPI \r", "", "", ""},
  };
  for (const SendCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedPrinter printer(c.model, kStart);
    EXPECT_EQ(Session(printer, {c.send}), c.reply);
    EXPECT_EQ(printer.current(), WithChanges(kStart, c.current));
    EXPECT_EQ(printer.memory(), WithChanges(kStart, c.memory));
  }
}

TEST(SimSession, ReplyIsHandedOutOnceAndEndSessionDropsWhatIsPending) {
  SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  ASSERT_TRUE(printer.Accept(wire::kOnlineSequence));
  ASSERT_TRUE(printer.Accept("?VER    \r"));
  std::array<char, kReplyLimit> buffer{};
  buffer.fill('x');
  std::size_t length = 99;
  ASSERT_TRUE(printer.Reply(buffer, length));
  ASSERT_EQ(std::string(buffer.data(), length), kVersion);
  for (std::size_t i = length; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\0') << i;
  EXPECT_EQ(Collect(printer), "");
  ASSERT_TRUE(printer.Accept("?VER    \r?MODEL  "));
  printer.EndSession();
  EXPECT_FALSE(printer.inSetup());
  EXPECT_EQ(Collect(printer), "");
  EXPECT_EQ(Session(printer, {"\r?VER    \r"}), kVersion);
}

TEST(SimSession, PrintedPaperIsBoundedAndCountsWhatDidNotFit) {
  // The list shows the settings in force, not the memory.
  const std::string pitch12 = "MENU1  :PITCH  :12 CPI \r";
  SimulatedPrinter single(ModelCode::kHx310, kStart);
  Session(single, {pitch12 + std::string(wire::kListExit)});
  const std::string list = single.paper();
  EXPECT_EQ(list.rfind("HX310 setting list\n", 0), 0u) << list;
  EXPECT_NE(list.find("\nMENU1    PITCH    12 CPI\n"), std::string::npos);
  EXPECT_NE(list.find("\nCONFIG   STATUS   DISABLE\n"), std::string::npos);
  EXPECT_EQ(list.find("WIDTH"), std::string::npos) << "an HX310 has no WIDTH";
  EXPECT_EQ(list.substr(list.size() - 2), "\n\n");
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1 + 84 + 1);
  SimulatedPrinter printer(ModelCode::kHx310, kStart);
  std::string lists = pitch12;
  for (int i = 0; i < 1000; ++i) lists += "LIST   \r";
  Session(printer, {lists});
  EXPECT_LE(printer.paper().size(), kPaperLimit);
  EXPECT_GT(printer.paper().size(), kPaperLimit - list.size());
  EXPECT_EQ(printer.TakeListsNotPrinted(), 1000 - printer.paper().size() / list.size());
  EXPECT_EQ(printer.TakeListsNotPrinted(), 0U);
  // Taken paper is gone from the printer, which then prints again.
  EXPECT_EQ(printer.TakePaper().size() % list.size(), 0U);
  EXPECT_EQ(printer.paper(), "");
  Session(printer, {wire::kListExit});
  EXPECT_EQ(printer.paper(), list);
}

TEST(SimSettingsLines, OneLineOfTwentySevenCharactersPerReadItem) {
  for (const auto& [model, count] :
       {std::pair{ModelCode::kHx320, std::size_t{86}}, {ModelCode::kHx310, 83}}) {
    SCOPED_TRACE(NameOf(model));
    SimulatedPrinter printer(model, kFactoryDefaults);
    const std::string reply = Session(printer, {"?NVRAM  \r"});
    ASSERT_EQ(reply.size(), 9 + count * kSettingsLineWidth);
    for (std::size_t at = 9; at < reply.size(); at += kSettingsLineWidth)
      EXPECT_EQ(reply.substr(at + kSettingsLineWidth - 2, 2), "\r\n") << reply.substr(at);
    EXPECT_EQ(reply.substr(0, 36), "?NVRAM  :MENU1   :EMULATE :DPL24C+\r\n");
    EXPECT_NE(reply.find("MENU2   :ZEROFNT :NO-SLSH\r\nMENU2   :DC3-CDE :ENABLE \r\n"),
              std::string::npos);
    EXPECT_EQ(reply.find("STATUS"), std::string::npos);
    EXPECT_EQ(reply.find("WIDTH") == std::string::npos, model == ModelCode::kHx310);
  }
}

TEST(SimSettingText, TextSentByteByByteActsAsWhole) {
  std::mt19937 rng(5);
  for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320}) {
    const SettingsRecord before = RandomRecord(rng);
    SettingText text;
    ItemList refused;
    ASSERT_TRUE(BuildSettingText(RandomRecord(rng), model, text, refused));
    SimulatedPrinter whole(model, before);
    Session(whole, {text.view()});
    SimulatedPrinter bytes(model, before);
    ASSERT_TRUE(bytes.Accept(wire::kOnlineSequence));
    for (const char c : text.view()) ASSERT_TRUE(bytes.Accept(std::string_view(&c, 1)));
    EXPECT_EQ(bytes.current(), whole.current());
    EXPECT_NE(whole.current(), before);
  }
}

}  // namespace
}  // namespace rovant::sim
