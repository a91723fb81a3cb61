// Telling our printers from every other device that answers SNMP: by the model
// name in the Host Resources MIB's device description or the system description.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/model_code.hpp"

namespace rovant::discovery {

// sysDescr.0 and hrDeviceDescr.1, the two values a discovery asks for.
inline constexpr std::string_view kSysDescrOid = "1.3.6.1.2.1.1.1.0";
inline constexpr std::string_view kDeviceDescrOid = "1.3.6.1.2.1.25.3.2.1.3.1";

// The model a description names: "HX310" or "HX320" as a word of its own (any
// case; "HX3200" or "XHX320" is no match). Nothing when it names neither or both.
std::optional<ModelCode> ModelNamedIn(std::string_view description);

// The model of a device from its two descriptions (either may be empty). The
// device description decides when it names a model; a system description
// naming the other model then makes the device unknown, as does a device
// description naming another product while the system description names ours.
std::optional<ModelCode> IdentifyPrinter(std::string_view sysDescr, std::string_view deviceDescr);

}  // namespace rovant::discovery
