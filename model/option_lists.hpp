// Every option list of the printer's setup menus, in the printer's order.
// A settings record stores positions in these lists, so their order is part of
// the setting file format: never reorder or insert.
#pragma once

#include <array>
#include <cstddef>

#include "model/option_label.hpp"

namespace rovant::lists {

namespace detail {

// Builds one label from pieces, left-aligned and blank-filled.
class LabelWriter {
 public:
  constexpr LabelWriter() { text_.fill(' '), text_[OptionLabel::kWidth] = '\0'; }
  constexpr LabelWriter& Put(char c) {
    if (pos_ < OptionLabel::kWidth) text_[pos_] = c;
    ++pos_;
    return *this;
  }
  constexpr LabelWriter& Put(std::string_view s) {
    for (char c : s) Put(c);
    return *this;
  }
  constexpr LabelWriter& Number(unsigned n) {
    if (n >= 10) Number(n / 10);
    return Put(static_cast<char>('0' + n % 10));
  }
  // Moves on to the given column, blank-filling (a field of that width).
  constexpr LabelWriter& PadTo(std::size_t column) {
    while (pos_ < column) Put(' ');
    return *this;
  }
  [[nodiscard]] constexpr OptionLabel Done() const { return OptionLabel::FromText(text_); }

 private:
  OptionLabel::Text text_{};
  std::size_t pos_ = 0;
};

// "1  COLM" .. "41 COLM": the column number left-aligned in three characters.
consteval std::array<OptionLabel, 41> LeftEndColumns() {
  std::array<OptionLabel, 41> out{};
  for (unsigned i = 0; i < out.size(); ++i) {
    out[i] = LabelWriter{}.Number(i + 1).PadTo(3).Put("COLM").Done();
  }
  return out;
}

// "4.0  IN" .. "22.0 IN" in half inches, then "LINE   ": the inch value with
// one decimal, left-aligned in five characters, followed by "IN".
consteval std::array<OptionLabel, 38> LongPageLengths() {
  std::array<OptionLabel, 38> out{};
  for (unsigned i = 0; i < 37; ++i) {
    const unsigned halves = 8 + i;
    out[i] = LabelWriter{}
                 .Number(halves / 2)
                 .Put('.')
                 .Put(halves % 2 ? '5' : '0')
                 .PadTo(5)
                 .Put("IN")
                 .Done();
  }
  out[37] = OptionLabel("LINE   ");
  return out;
}

// "1 /6 IN", "2 /6 IN", "1.8/6IN", then "3 /6 IN" .. "66/6 IN".
consteval std::array<OptionLabel, 67> OriginSixths() {
  std::array<OptionLabel, 67> out{};
  for (unsigned i = 0; i < out.size(); ++i) {
    const unsigned sixths = i < 2 ? i + 1 : i;
    out[i] = LabelWriter{}.Number(sixths).PadTo(2).Put("/6 IN").Done();
  }
  out[2] = OptionLabel("1.8/6IN");
  return out;
}

// "0 /180 " .. "29/180 ".
consteval std::array<OptionLabel, 30> FineSteps() {
  std::array<OptionLabel, 30> out{};
  for (unsigned i = 0; i < out.size(); ++i) {
    out[i] = LabelWriter{}.Number(i).PadTo(2).Put("/180 ").Done();
  }
  return out;
}

// "-10/90 ", "- 9/90 " .. "- 1/90 ", "0  /90 " .. "10 /90 ".
consteval std::array<OptionLabel, 21> LeftOffsets() {
  std::array<OptionLabel, 21> out{};
  for (unsigned i = 0; i < out.size(); ++i) {
    LabelWriter w;
    if (i < 10) {
      const unsigned magnitude = 10 - i;
      w.Put('-');
      if (magnitude < 10) w.Put(' ');
      w.Number(magnitude);
    } else {
      w.Number(i - 10).PadTo(3);
    }
    out[i] = w.Put("/90 ").Done();
  }
  return out;
}

}  // namespace detail

// MENU1 / MENU2
inline constexpr auto kEmulation = MakeOptionList("DPL24C+", "XL24E  ", "ESC/P2 ");
inline constexpr auto kFont =
    MakeOptionList("COUR 10", "PRSTG12", "COMPRSD", "BOLDFCE", "PICA 10", "CORRESP", "OCR-B  ",
                   "OCR-A  ", "COUR-N ", "COUR-B ", "COUR-I ", "N.SAN-N", "N.SAN-B", "N.SAN-I",
                   "TIMLS-N", "TIMLS-B", "TIMLS-I", "DOWNLD0", "DOWNLD1");
// Under XL24E and ESC/P2 the font list ends before "DOWNLD1".
inline constexpr std::size_t kFontWithoutDownload1 = 18;
inline constexpr auto kQuality = MakeOptionList("LETTER ", "REPORT ", "DRAFT  ", "HI-DRFT");
inline constexpr auto kPitch =
    MakeOptionList("2.5CPI ", "3  CPI ", "5  CPI ", "6  CPI ", "10 CPI ", "12 CPI ", "15 CPI ",
                   "17 CPI ", "18 CPI ", "20 CPI ", "PROP SP");
inline constexpr auto kLineSpacing = MakeOptionList("1 LPI  ", "2 LPI  ", "3 LPI  ", "4 LPI  ",
                                                    "5 LPI  ", "6 LPI  ", "7 LPI  ", "8 LPI  ");
inline constexpr auto kCharScale = MakeOptionList("NORMAL ", "2 TIMES", "4 TIMES");
inline constexpr auto kCharScaleXl = MakeOptionList("NORMAL ", "2 TIMES");
inline constexpr auto kAttribute =
    MakeOptionList("NONE   ", "ITALICS", "CONDNSD", "SHADOW ", "BOLD   ");
inline constexpr auto kAttributeXl = MakeOptionList("NONE   ", "ITALICS", "SHADOW ", "BOLD   ");
inline constexpr auto kPageLength = MakeOptionList(
    "3.0  IN", "3.5  IN", "4.0  IN", "5.0  IN", "5.5  IN", "6.0  IN", "7.0  IN", "8.0  IN",
    "8.5  IN", "11.0 IN", "11.6 IN", "12.0 IN", "14.0 IN", "18.0 IN", "LINE   ");
inline constexpr auto kPageLengthEscP2 = detail::LongPageLengths();
inline constexpr auto kPageTens =
    MakeOptionList("0  LINE", "10 LINE", "20 LINE", "30 LINE", "40 LINE", "50 LINE", "60 LINE",
                   "70 LINE", "80 LINE", "90 LINE");
inline constexpr auto kPageUnits =
    MakeOptionList("0  LINE", "1  LINE", "2  LINE", "3  LINE", "4  LINE", "5  LINE", "6  LINE",
                   "7  LINE", "8  LINE", "9  LINE");
inline constexpr auto kLeftEnd = detail::LeftEndColumns();
inline constexpr auto kTopMargin =
    MakeOptionList("1  LINE", "2  LINE", "3  LINE", "4  LINE", "5  LINE", "6  LINE", "7  LINE",
                   "8  LINE", "9  LINE", "10 LINE");
inline constexpr auto kLanguage = MakeOptionList(
    "USA    ", "UK     ", "GERMAN ", "FRENCH ", "ITALIAN", "SPANISH", "SWEDISH", "DANISH1",
    "PAGE437", "PAGE850", "PAGE860", "PAGE863", "PAGE865", "ECMA94 ", "DANISH2", "FINNISH",
    "NORWEGN", "ISO8859", "PG852  ", "PG852-T", "PG855  ", "PG866  ", "HUNGARY", "HUNG-T ",
    "SLOV   ", "SLOV-T ", "POLISH ", "POLSH-T", "MAZOWIA", "MAZOW-T", "LATIN2 ", "LATN2-T",
    "KAMENIC", "KAMEN-T", "TURKY  ", "TURKY-T", "CYRILIC", "IBM437 ", "IBM851 ", "ELOT928",
    "PG-DHN ", "LATIN-P", "ISO-LTN", "LITHUA1", "LITHUA2", "MIK    ", "MACEDON", "PG-MAC ",
    "ELOT927", "ABG    ", "ABY    ", "DEC GR ", "GREEK11", "PG862  ", "HBR-DEC", "HBR-OLD",
    "ISO-TUK", "RUSCII ", "LATIN-9");
inline constexpr auto kLanguageEscP2 = MakeOptionList(
    "USA    ", "UK     ", "GERMAN ", "SWEDISH", "DANISH1", "ITALIAN", "SPANSH1", "SPANSH2",
    "JAPAN  ", "NORWEGN", "LATIN A", "FRENCH ", "PAGE437", "PAGE850", "PAGE860", "PAGE863",
    "PAGE865", "ECMA94 ", "DANISH2", "ISO8859", "PG852  ", "PG852-T", "PG855  ", "PG866  ",
    "HUNGARY", "HUNG-T ", "SLOV   ", "SLOV-T ", "POLISH ", "POLSH-T", "MAZOWIA", "MAZOW-T",
    "LATIN2 ", "LATN2-T", "KAMENIC", "KAMEN-T", "TURKY  ", "TURKY-T", "CYRILIC", "IBM437 ",
    "IBM851 ", "ELOT928", "PG-DHN ", "LATIN-P", "ISO-LTN", "LITHUA1", "LITHUA2", "MIK    ",
    "MACEDON", "PG-MAC ", "ELOT927", "ABG    ", "ABY    ", "DEC GR ", "GREEK11", "PG862  ",
    "HBR-DEC", "HBR-OLD", "ISO-TUK", "KOREA  ", "LEGAL  ", "RUSCII ", "LATIN-9");
inline constexpr auto kCharSet = MakeOptionList("SET1   ", "SET2   ");
inline constexpr auto kCharSetEscP2 = MakeOptionList("ITALIC ", "GRAPHIC");
inline constexpr auto kOffOn = MakeOptionList("OFF    ", "ON     ");
inline constexpr auto kPerforationSkip = MakeOptionList("SKIP   ", "NO-SKIP");
inline constexpr auto kWidth = MakeOptionList("8.0 IN ", "11.0 IN", "11.4 IN", "13.6 IN");
inline constexpr auto kZeroFont = MakeOptionList("NO-SLSH", "SLASH  ");
inline constexpr auto kEnableDisable = MakeOptionList("ENABLE ", "DISABLE");
inline constexpr auto kCrCode = MakeOptionList("CR ONLY", "CR & LF");
inline constexpr auto kLfCode = MakeOptionList("LF ONLY", "LF & CR");
inline constexpr auto kRightEnd = MakeOptionList("WRAP   ", "OVR-PRT");

// HARDWARE
inline constexpr auto kPaperOut = MakeOptionList("CNTONLY", "DETECT ", "IGNORE ");
inline constexpr auto kPrintDirection = MakeOptionList("BI-DIR ", "UNI-DIR");
inline constexpr auto kOnOff = MakeOptionList("ON     ", "OFF    ");
inline constexpr auto kWordLength = MakeOptionList("8 BIT  ", "7 BIT  ");
inline constexpr auto kBuffer = MakeOptionList("NONE   ", "256BYTE", " 2KBYTE", " 8KBYTE",
                                               "24KBYTE", "32KBYTE", "96KBYTE", "128KBYT");
inline constexpr auto kInterface =
    MakeOptionList("PARALEL", "SERIAL ", "USB    ", "AUTO-2S", "AUTO-4S", "AUTO-6S", "AUTO10S",
                   "AUTO15S", "AUTO20S");
inline constexpr auto kFormat =
    MakeOptionList("8NONE 1", "8NONE 2", "8EVEN 1", "8 ODD 1", "7EVEN 1", "7 ODD 1", "7MARK1 ",
                   "7SPACE1", "7EVEN 2", "7 ODD 2");
inline constexpr auto kBaudRate = MakeOptionList("150    ", "300    ", "600    ", "1200   ",
                                                 "2400   ", "4800   ", "9600   ", "19200  ");
inline constexpr auto kProtocol = MakeOptionList("XON/XOF", "DTR    ", "REV-CHL");
inline constexpr auto kIgnoreDetect = MakeOptionList("IGNORE ", "DETECT ");
inline constexpr auto kDuplex = MakeOptionList("FULL   ", "HALF   ");
inline constexpr auto kSheetFeeder = MakeOptionList("ASF    ", "PAPRPRO");

// ADJUST
inline constexpr auto kOrigin = detail::OriginSixths();
inline constexpr auto kFine = detail::FineSteps();
inline constexpr auto kLeftOffset = detail::LeftOffsets();
inline constexpr auto kCutAdjust = MakeOptionList("-21/360", "-14/360", "-7 /360", "0  /360",
                                                  "7  /360", "14 /360", "21 /360", "GRAPHIC");
inline constexpr auto kContinuousAdjust =
    MakeOptionList("-28/360", "-21/360", "-14/360", "-7 /360", "0  /360", "7  /360", "14 /360",
                   "21 /360", "28 /360", "GRAPHIC");

// CONFIG
inline constexpr auto kTearOff = MakeOptionList("MANUAL ", "AUTO   ");
inline constexpr auto kTearPosition = MakeOptionList("VISIBLE", "ALWAYS ");
inline constexpr auto kTearWait =
    MakeOptionList("0 SEC  ", "1 SEC  ", "2 SEC  ", "4 SEC  ", "6 SEC  ");
inline constexpr auto kCutLoad = MakeOptionList("AUTO   ", "BUTTON ");
inline constexpr auto kLoadTime =
    MakeOptionList("0.5 SEC", "1.0 SEC", "1.5 SEC", "2.0 SEC", "2.5 SEC", "3.0 SEC");
inline constexpr auto kDecode = MakeOptionList("DIRECT ", "QUEUED ");
inline constexpr auto kOnLoad = MakeOptionList("OFFLINE", "ONLINE ");
inline constexpr auto kLock = MakeOptionList("NONE   ", "SETUP  ", "ALL    ");
inline constexpr auto kDisableEnable = MakeOptionList("DISABLE", "ENABLE ");
inline constexpr auto kContinuousPaperEntry = MakeOptionList("TRACTOR", "EDGE   ");
inline constexpr auto kCutControl = MakeOptionList("PRCISIN", "SPEED  ");
inline constexpr auto kTopOfForm = MakeOptionList("DRIVER ", "SETUP  ");

// The generated lists, checked against the printer's own texts.
static_assert(kLeftEnd[0] == OptionLabel("1  COLM") && kLeftEnd[8] == OptionLabel("9  COLM") &&
              kLeftEnd[9] == OptionLabel("10 COLM") && kLeftEnd[40] == OptionLabel("41 COLM"));
static_assert(kPageLengthEscP2[0] == OptionLabel("4.0  IN") &&
              kPageLengthEscP2[1] == OptionLabel("4.5  IN") &&
              kPageLengthEscP2[11] == OptionLabel("9.5  IN") &&
              kPageLengthEscP2[12] == OptionLabel("10.0 IN") &&
              kPageLengthEscP2[14] == OptionLabel("11.0 IN") &&
              kPageLengthEscP2[36] == OptionLabel("22.0 IN") &&
              kPageLengthEscP2[37] == OptionLabel("LINE   "));
static_assert(kOrigin[0] == OptionLabel("1 /6 IN") && kOrigin[1] == OptionLabel("2 /6 IN") &&
              kOrigin[2] == OptionLabel("1.8/6IN") && kOrigin[3] == OptionLabel("3 /6 IN") &&
              kOrigin[9] == OptionLabel("9 /6 IN") && kOrigin[10] == OptionLabel("10/6 IN") &&
              kOrigin[66] == OptionLabel("66/6 IN"));
static_assert(kFine[0] == OptionLabel("0 /180 ") && kFine[9] == OptionLabel("9 /180 ") &&
              kFine[10] == OptionLabel("10/180 ") && kFine[29] == OptionLabel("29/180 "));
static_assert(kLeftOffset[0] == OptionLabel("-10/90 ") &&
              kLeftOffset[1] == OptionLabel("- 9/90 ") &&
              kLeftOffset[9] == OptionLabel("- 1/90 ") &&
              kLeftOffset[10] == OptionLabel("0  /90 ") &&
              kLeftOffset[19] == OptionLabel("9  /90 ") &&
              kLeftOffset[20] == OptionLabel("10 /90 "));
static_assert(kPageLength[14] == OptionLabel("LINE   "));
static_assert(kLanguage[8] == OptionLabel("PAGE437") &&
              kLanguageEscP2[12] == OptionLabel("PAGE437"));
static_assert(kLanguage.size() == 59 && kLanguageEscP2.size() == 63 && kFont.size() == 19);

}  // namespace rovant::lists
