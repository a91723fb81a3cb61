#include "protocol/setting_text.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "tests/fakes/test_records.hpp"

namespace rovant {
namespace {

using namespace std::string_literals;

// The text built; the buffer behind it is zero-filled.
std::string Build(const SettingsRecord& record, ModelCode model) {
  SettingText text;
  text.bytes.fill('x');
  ItemList refused;
  EXPECT_TRUE(BuildSettingText(record, model, text, refused));
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(
      std::string_view(text.bytes.data(), text.bytes.size()).find_first_not_of('\0', text.length),
      std::string_view::npos);
  return std::string(text.view());
}

// The text as the printer's command reference describes it, written out independently of the
// catalogue's condition table: per block its name, then "KEYWORD:label" for each entry sent (the
// keywords 8 characters each, in record order), the entries separated and ended by CR.
std::string Reference(const SettingsRecord& r, ModelCode model) {
  std::string out;
  const auto block = [&](const char* name, std::string_view keywords, std::size_t first,
                         auto sent) {
    out += name;
    for (std::size_t i = 0, n = 0; 8 * i < keywords.size(); ++i) {
      if (!sent(i)) continue;
      // MENU2 keeps DC3-CDE (41) before ZEROFNT (42).
      const std::size_t item = first == 23 && i == 18   ? 42
                               : first == 23 && i == 19 ? 41
                                                        : first + i;
      out += (n++ == 0 ? "" : "\r") + std::string(keywords.substr(8 * i, 8));
      out += *LabelOf(static_cast<ItemIndex>(item), r);
    }
    out += "\r";
  };
  for (const std::size_t base : {0, 23}) {
    const int emulation = r[base];
    const bool line = r[base + 8] == (emulation == 2 ? 37 : 14);
    block(base == 0 ? "MENU1  :" : "MENU2  :",
          "EMULATE:FONT   :QUALITY:PITCH  :LINE SP:CHAR-W :CHAR-H :ATTRIB :PAGE LG:PG LX10:"
          "PG LX1 :LFT-END:TOP-MRG:LANGUGE:CHR-SET:AGM    :PRF-SKP:WIDTH  :ZEROFNT:DC3-CDE:"
          "CR-CODE:LF-CODE:RGHTEND:",
          base, [&](std::size_t i) {
            if (i == 9 || i == 10) return line;              // PG LX10, PG LX1
            if (i == 15) return emulation == 1;              // AGM
            if (i == 17) return model == ModelCode::kHx320;  // WIDTH
            if (i == 18 || i == 21) return emulation != 2;   // ZEROFNT, LF-CODE
            return i != 19 || emulation == 0;                // DC3-CDE
          });
  }
  block("HARDWRE:", "PPR-OUT:PRT-DIR:BUZZER :WORD-LG:BUFFER :", 46,
        [](std::size_t) { return true; });
  block("ADJUST :",
        "CNT-ORG:CNTFINE:CUT-ORG:CUTFINE:CNT-LFT:CUT-LFT:CUT-ADJ:CSF-ADJ:CNT-ADJ:CNTADJL:", 60,
        [&](std::size_t i) { return i != 7 || model != ModelCode::kHx310; });  // CSF-ADJ
  block("CONFIG :",
        "TEAROFF:TEARPOS:TEAR-EN:CUTLOAD:LOADTIM:DECODE :AREACNT:ON-LOAD:LOCK   ://S//  :"
        "CONT-PE:GATHER :CUT-CTL:SKIP-PR:STATUS :BANDCTL:TOF-CTL:",
        70, [&](std::size_t i) {  // TEAR-EN, LOADTIM; STATUS never
          return i == 2 ? r[70] == 1 : i == 4 ? r[73] == 0 : i != 14;
        });
  return out;
}

TEST(SettingText, FactoryDefaultsAndTheLongestTextHaveTheDocumentedLengths) {
  EXPECT_EQ(Build(kFactoryDefaults, ModelCode::kHx310).size(), 1112u);
  EXPECT_EQ(Build(kFactoryDefaults, ModelCode::kHx320).size(), 1160u);
  // Neither model: no WIDTH, but CSF-ADJ.
  EXPECT_EQ(Build(kFactoryDefaults, ModelCode::kOther).size(), 1128u);
  SettingsRecord longest = kFactoryDefaults;
  for (const ItemIndex emulate : {kMenu1Emulate, kMenu2Emulate}) {
    longest[emulate] = kDpl24cPlus;
    longest[emulate + kPageLengthOffset] = 14;
  }
  longest[70] = 1;
  EXPECT_EQ(Build(longest, ModelCode::kHx320).size(), kSettingTextMaxLength);
}

struct TextCase {
  const char* changes;  // "item=value ...", against the factory defaults
  ModelCode model;
  std::vector<std::string> present;  // as the printer's command reference writes them
};

TEST(SettingText, EntriesFollowTheirConditions) {
  constexpr ModelCode k320 = ModelCode::kHx320;
  const TextCase cases[] = {
      {"0=2 8=37", k320, {"\rPAGE LG:LINE   \rPG LX10:60 LINE\rPG LX1 :6  LINE\rLFT-END:"}},
      {"0=2 8=14", k320, {"\rPAGE LG:11.0 IN\rLFT-END:"}},
      {"8=14", k320, {"\rPAGE LG:LINE   \rPG LX10:"}},
      {"0=1 1=17", k320, {"EMULATE:XL24E  \rFONT   :DOWNLD0"}},
      {"23=2 37=1",
       k320,
       {"\rDC3-CDE:ENABLE \rCR-CODE:CR ONLY\rLF-CODE:LF & CR\rRGHTEND:WRAP   \rMENU2  :",
        "\rCHR-SET:GRAPHIC\rPRF-SKP:NO-SKIP\rWIDTH  :13.6 IN\rCR-CODE:CR ONLY\rRGHTEND:WRAP   "
        "\rHARDWRE:"}},
      {"42=1 41=1",
       k320,
       {"\rZEROFNT:SLASH  \rDC3-CDE:DISABLE\rCR-CODE:CR ONLY\rLF-CODE:LF & CR\rRGHTEND:WRAP   "
        "\rHARDWRE:"}},
      {"", ModelCode::kHx310, {"\rCUT-ADJ:0  /360\rCNT-ADJ:"}},
      {"67=7",
       k320,
       {"\rCUT-ADJ:0  /360\rCSF-ADJ:GRAPHIC\rCNT-ADJ:0  /360\rCNTADJL:0  /360\rCONFIG :TEAROFF:"}},
      {"70=1 72=4 73=1",
       k320,
       {"CONFIG :TEAROFF:AUTO   \rTEARPOS:VISIBLE\rTEAR-EN:6 SEC  \rCUTLOAD:BUTTON \rDECODE :"}},
      {"50=2 64=1", k320, {"\rBUFFER : 2KBYTE\r", "\rCNT-LFT:- 9/90 \r"}},
  };
  for (const TextCase& c : cases) {
    const SettingsRecord record = testing::WithChanges(kFactoryDefaults, c.changes);
    const std::string text = Build(record, c.model);
    SCOPED_TRACE(text);
    for (const std::string& piece : c.present) EXPECT_NE(text.find(piece), std::string::npos);
    EXPECT_EQ(text, Reference(record, c.model));
  }
}

TEST(SettingText, AnyValidRecordMatchesTheReferenceForEveryModel) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 3000; ++round) {
    const SettingsRecord record = testing::RandomRecord(rng);
    for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320, ModelCode::kOther}) {
      const std::string text = Build(record, model);
      ASSERT_EQ(text, Reference(record, model)) << "round " << round;
      ASSERT_GE(text.size(), 1000u);
      ASSERT_LE(text.size(), kSettingTextMaxLength);
    }
  }
}

TEST(SettingText, RefusesValuesOutsideTheirListsAndNamesThem) {
  SettingsRecord record = kFactoryDefaults;
  record[0] = 1;            // MENU1 XL24E: FONT list of 18
  record[1] = 18;           // "DOWNLD1" exists only under DPL24C+
  record[60] = 67;          // one past the ORG list
  record[kStatusItem] = 9;  // not sent: not refused
  record[53] = 200;         // read-only: not sent, not refused
  record[9] = 99;           // PG LX10 while PAGE LG is not LINE: not sent, not refused
  record[72] = 99;          // TEAR-EN while TEAROFF is MANUAL
  record[17] = 99;          // WIDTH for an HX310
  SettingText text;
  text.bytes.fill('x');
  ItemList refused;
  EXPECT_FALSE(BuildSettingText(record, ModelCode::kHx310, text, refused));
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_EQ(refused[0], 1u);
  EXPECT_EQ(refused[1], 60u);
  EXPECT_EQ(text.length, 0u);
  EXPECT_EQ(text.bytes[0], '\0');
}

TEST(CommandStrings, AreTheExactBytes) {
  EXPECT_EQ(wire::kOnlineSequence, "\x1b\x65\x4f\x4e\x4c\x49\x4e\x45"s);
  EXPECT_EQ(wire::kQueryModelVersionSettings, "?MODEL  \r?VER    \r?NVRAM  \rEXIT   \r"s);
  EXPECT_EQ(wire::kSaveExit, "SAVE   \rEXIT   \r"s);
  EXPECT_EQ(wire::kListExit, "LIST   \rEXIT   \r"s);
  EXPECT_EQ(wire::kDefault, "DEFAULT\r"s);
}

}  // namespace
}  // namespace rovant
