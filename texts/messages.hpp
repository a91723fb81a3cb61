// Message box styles, icons, results and the texts of the printer messages.
#pragma once

#include <string_view>

namespace rovant::msg {

inline constexpr std::string_view kCaption = "ROVANT";

// The program's own icons.
enum Icon : unsigned {
  kIconNone = 0,  // a plain box: the style's stock icon
  kIconApplication = 160,
  kIconError = 187,        // the printer cannot be reached
  kIconInformation = 188,  // bad items in a reply, printer-state warnings
  kIconWarning = 189,      // reading failed, another printer, start-up questions
};

// Style bits, as the system's message boxes take them.
inline constexpr unsigned kOk = 0x00;
inline constexpr unsigned kAbortRetryIgnore = 0x02;
inline constexpr unsigned kYesNoCancel = 0x03;
inline constexpr unsigned kYesNo = 0x04;
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kUserIcon = 0x80;
inline constexpr unsigned kUserIconOk = kUserIcon | kOk;
inline constexpr unsigned kUserIconAbortRetryIgnore = kUserIcon | kAbortRetryIgnore;

// Buttons a box returns.
enum Result : int {
  kResultOk = 1,
  kResultCancel = 2,
  kResultAbort = 3,
  kResultRetry = 4,
  kResultIgnore = 5,
  kResultYes = 6,
  kResultNo = 7,
};

// The report of a bad value received from the printer: header, item label, trailer.
inline constexpr std::string_view kBadItemHeader =
    "The incorrect data was received from the printer\nin the following items. Upload it "
    "again.\n\n";
inline constexpr std::string_view kBadItemTrailer =
    "\n\nConfirm no print data from other applications, and turn on the printer again.";
// The report is composed in a buffer of this size.
inline constexpr std::size_t kReportBufferSize = 512;
static_assert(kBadItemHeader.size() + 7 + kBadItemTrailer.size() < kReportBufferSize);

// A transfer refused because the record holds values outside their lists.
inline constexpr std::string_view kRecordOutOfListHeader =
    "The setting value of the following items is not correct, so it cannot be sent to the "
    "printer.\nSelect the value again.\n\n";

}  // namespace rovant::msg
