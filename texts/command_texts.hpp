// The texts of the main window's commands and of the quit dialogue.
#pragma once

#include <string_view>

#include "rovant_version.h"

namespace rovant::msg {

inline constexpr std::string_view kConfirmRead =
    "Get the setting information from Printer. \n\n Is it OK?";
inline constexpr std::string_view kConfirmTransfer = "Change to the setting value?";
inline constexpr std::string_view kConfirmInitialize =
    "Return the settings to the factory default value?";
inline constexpr std::string_view kConfirmListPrint = "Print Setup list. \n\n Is it OK?";

inline constexpr std::string_view kConfirmQuit = "Quit ROVANT. \n\n Save the setting value?";
inline constexpr std::string_view kQuitNoResponse = "No response from Printer. Turn on the printer";

inline constexpr std::string_view kVersion =
    "Printer Utility\n"
    "ROVANT  V" ROVANT_VERSION_TEXT
    "\n"
    "\n"
    "\n"
    "Setup utility for the HX310 and HX320 printers\n"
    "\n";

inline constexpr std::string_view kHelpFileName = "ROVANT.CHM";

}  // namespace rovant::msg
