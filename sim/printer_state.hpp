// The simulator's non-volatile memory kept between runs in a state file:
// exactly the 87 bytes of a settings record, as a setting file holds them.
#pragma once

#include <string>

#include "base/expected.hpp"
#include "model/settings_record.hpp"
#include "platform/file_system.hpp"

namespace rovant::sim {

// Reads the state file. A missing file gives the factory defaults; one that
// cannot be read, is not exactly 87 bytes, or holds values outside their
// lists is refused, the reason naming the file.
Expected<SettingsRecord> LoadPrinterState(FileSystem& fs, const std::string& path);

// Writes the memory as the whole state file.
Expected<void> SavePrinterState(FileSystem& fs, const std::string& path,
                                const SettingsRecord& memory);

}  // namespace rovant::sim
