// Whether and how the program can talk to a printer, from its port and its
// spooler state: the port state, the icon it is listed with, and the message
// that tells the user what to change.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/printer_entry.hpp"
#include "texts/messages.hpp"
#include "texts/port_state_messages.hpp"

namespace rovant::ui {

// Spooler bits the classification looks at.
inline constexpr std::uint32_t kAttributeEnableBidi = 0x800;   // PRINTER_ATTRIBUTE_ENABLE_BIDI
inline constexpr std::uint32_t kAttributeWorkOffline = 0x400;  // PRINTER_ATTRIBUTE_WORK_OFFLINE
inline constexpr std::uint32_t kStatusPaused = 0x1;            // PRINTER_STATUS_PAUSED

struct PortFacts {
  std::string_view portName;
  std::uint32_t attributes = 0;
  std::uint32_t status = 0;
  std::string_view separatorFile;
};

// First match wins; every text test is case-sensitive.
constexpr PortState ClassifyPort(const PortFacts& facts) {
  const std::string_view port = facts.portName;
  if (port.find(":lp") != std::string_view::npos) return kPortLan;
  if (port.starts_with("FILE:")) return kPortFile;
  if (port.find("LPT") == std::string_view::npos && port.find("USB") == std::string_view::npos) {
    return kPortUnusable;
  }
  if ((facts.attributes & kAttributeEnableBidi) == 0) return kPortNoBidi;
  if ((facts.status & kStatusPaused) != 0) return kPortPaused;
  if ((facts.attributes & kAttributeWorkOffline) != 0) return kPortOffline;
  if (!facts.separatorFile.empty()) return kPortSeparator;
  return kPortLocal;
}

static_assert(ClassifyPort({"LPT1:", kAttributeEnableBidi, 0, ""}) == kPortLocal);
static_assert(ClassifyPort({"FILE:", 0, 0, ""}) == kPortFile);
static_assert(ClassifyPort({"lpt1:", kAttributeEnableBidi, 0, ""}) == kPortUnusable);
static_assert(ClassifyPort({"USB001", 0, kStatusPaused, ""}) == kPortNoBidi);

// Whether the program can talk to a printer in this state at all.
constexpr bool IsUsablePort(int portState) {
  return portState == kPortLocal || portState == kPortLan;
}

// The icon a printer with a supported driver is listed with.
constexpr unsigned IconOfPortState(int portState) {
  return IsUsablePort(portState) ? msg::kIconApplication : msg::kIconInformation;
}

// What the user is told about a port state that keeps the printer from being used.
struct PortStateMessage {
  int portState;
  std::string_view text;
};

inline constexpr std::array<PortStateMessage, 6> kPortStateMessages{{
    {kPortFile, msg::kPortStateFile},
    {kPortPaused, msg::kPortStatePaused},
    {kPortNoBidi, msg::kPortStateNoBidi},
    {kPortOffline, msg::kPortStateOffline},
    {kPortSeparator, msg::kPortStateSeparator},
    {kPortUnusable, msg::kPortStateUnusable},
}};

// Every port state that blocks setup has a message, and the usable ones have none.
static_assert(std::ranges::none_of(kPortStateMessages, [](const PortStateMessage& m) {
  return IsUsablePort(m.portState);
}));
static_assert(std::ranges::all_of(kPortStateMessages,
                                  [](const PortStateMessage& m) { return !m.text.empty(); }));

// The message for a port state, or nothing for a usable or unknown state.
constexpr std::optional<std::string_view> PortStateMessageOf(int portState) {
  for (const PortStateMessage& m : kPortStateMessages) {
    if (m.portState == portState) return m.text;
  }
  return std::nullopt;
}

static_assert(!PortStateMessageOf(kPortLocal) && !PortStateMessageOf(kPortLan));
static_assert(PortStateMessageOf(kPortUnusable).has_value());
static_assert(!PortStateMessageOf(7).has_value());

}  // namespace rovant::ui
