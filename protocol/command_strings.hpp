// The byte strings the program sends to the printer's setup command language.
// Keywords are seven characters, blank-padded; commands end with CR (0x0D).
// Every send passes its exact byte count: no NUL ever goes on the wire.
#pragma once

#include <string_view>

namespace rovant::wire {

using namespace std::string_view_literals;

// ESC "e" "ONLINE": opens every exchange, sent alone and first.
inline constexpr std::string_view kOnlineSequence =
    "\x1b"
    "eONLINE"sv;
// Model name, firmware version, all settings, end of exchange.
inline constexpr std::string_view kQueryModelVersionSettings =
    "?MODEL  \r?VER    \r?NVRAM  \rEXIT   \r"sv;
// All settings, end of exchange.
inline constexpr std::string_view kQuerySettings = "?NVRAM  \rEXIT   \r"sv;
// Return to the factory values.
inline constexpr std::string_view kDefault = "DEFAULT\r"sv;
// Store the settings now held, end of exchange.
inline constexpr std::string_view kSaveExit = "SAVE   \rEXIT   \r"sv;
// Print the setting list, end of exchange.
inline constexpr std::string_view kListExit = "LIST   \rEXIT   \r"sv;

static_assert(kOnlineSequence.size() == 8 && kOnlineSequence[0] == '\x1b');
static_assert(kQueryModelVersionSettings.size() == 35);
static_assert(kQuerySettings.size() == 17);
static_assert(kDefault.size() == 8);
static_assert(kSaveExit.size() == 16);
static_assert(kListExit.size() == 16);

}  // namespace rovant::wire
