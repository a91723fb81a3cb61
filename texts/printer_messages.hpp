// The texts of the printer operations' messages and status window.
#pragma once

#include <string_view>

namespace rovant::msg {

inline constexpr std::string_view kStatusReading = "Setting data is read from the printer";
inline constexpr std::string_view kStatusTransfer =
    "The contents of a setting are written in the printer";
inline constexpr std::string_view kStatusFactoryDefault =
    "It has returned to the initial value at the time of factory default";
inline constexpr std::string_view kStatusListPrint = "The setting list is printed";

inline constexpr std::string_view kReadingFailed = "Failure in reading settings from printer";
inline constexpr std::string_view kNoResponse =
    "There is no response from Printer.\n\nThe current status is that Printer is not connected, "
    "Power off, or Offline.\n\nRe-start up the printer";

inline constexpr std::string_view kLanInitFailed =
    "Initialization of Library for LAN connection failed.\n\nClose ROVANT and re-boot your PC.";
inline constexpr std::string_view kLanNoResponse =
    "No response from Printer.\n\nConfirm if cable is connected and if Printer power is on.";
inline constexpr std::string_view kLanReleaseFailed =
    "Release of Library for LAN connection failed. \n\nClose ROVANT and re-boot your PC.";
inline constexpr std::string_view kLanSendFailed =
    "Command sending to printer failed.\n\nConfirm if cable is connected and if Printer power is "
    "on.";
inline constexpr std::string_view kLanReceiveFailed =
    "Data recieving from Printer failed.\n\nConfirm if cable is connected and if Printer power is "
    "on.";

}  // namespace rovant::msg
