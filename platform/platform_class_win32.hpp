// The running system's PlatformClass (Windows only).
#pragma once

#include "platform/platform_class.hpp"

namespace rovant {

// Asks the system for its version and, through a run-time lookup (older
// systems lack it), whether this process runs under WOW64.
PlatformClass QueryPlatformClass();

}  // namespace rovant
