// The texts of printer selection, the readiness check and the start-up loop.
#pragma once

#include <string_view>

namespace rovant::msg {

inline constexpr std::string_view kNotSelected =
    "Printer is not selected. Select the printer corresponding with ROVANT";
inline constexpr std::string_view kNoSupportedPrinter =
    "There was no printers which can cope with Tele Set in the selectable printers.\nInstall the "
    "printer can cope with ROVANT";
inline constexpr std::string_view kDriverNotSupported =
    "The selected printer is not corresponding to ROVANT. Select another printer";
inline constexpr std::string_view kJobsWaiting =
    "Print Job is remained in Spool. \n\n Complete the printing of print job, click OK button, "
    "and select again";
inline constexpr std::string_view kIppPort =
    "The selected printer port does not correspond to ROVANT.\n\nChange the setting of Port.";
inline constexpr std::string_view kOtherModel =
    "Different printer is connected. \n Confirm the connected printer";
inline constexpr std::string_view kReadFailedContinue =
    "Failure in reading settings from printer. \n Continue?";
inline constexpr std::string_view kPrinterDeleted =
    "Printer is deleted. Install the printer corresponding to ROVANT";

// The list's column headings.
inline constexpr std::string_view kColumnPrinterName = "PRINTER NAME";
inline constexpr std::string_view kColumnPort = "PORT";

}  // namespace rovant::msg
