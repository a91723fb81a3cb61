// What the user is told about a port state that keeps the printer from being used.
#pragma once

#include <string_view>

namespace rovant::msg {

inline constexpr std::string_view kPortStateFile =
    "The FILE is selected as output.\n\nOpen the printer property and change the out put to "
    "the local port, and click OK,\n select the printer to be connected to the local port";
inline constexpr std::string_view kPortStatePaused =
    "Printer is stop status.\n\nOpen the printer folder, uncheck the printer stop, and click "
    "OK,\nor select the printer connected to the local port";
inline constexpr std::string_view kPortStateNoBidi =
    "The bi-directional function of printer is invalid.\n\nOpen the printer property, change "
    "the bi-directional check and click OK,\nor select the printer connected to the local port";
inline constexpr std::string_view kPortStateOffline =
    "Printer is off line.\n\nOpen the printer folder, uncheck the offline, and click OK,\nor "
    "confirm the connected printer";
inline constexpr std::string_view kPortStateSeparator =
    "Separating page is set.\n\nOpen the printer property, uncheck the separating page "
    "setting, and click OK,\nor select the printer connected to another local port";
inline constexpr std::string_view kPortStateUnusable =
    "The output port of the selected printer is not corresponding to ROVANT.\n\nOpen the "
    "Printer property, change the port to local port, and click OK,\nor select the printer "
    "connected to the local port";

}  // namespace rovant::msg
