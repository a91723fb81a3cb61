// The simulator's non-volatile memory kept between runs in a state file:
// exactly the 87 bytes of a settings record, as a setting file holds them.
#pragma once

#include <string>

#include "model/settings_record.hpp"
#include "platform/file_system.hpp"

namespace rovant::sim {

struct LoadedState {
  bool ok = false;
  bool fresh = false;       // no state file yet: the memory is the factory defaults
  SettingsRecord memory{};  // when ok
  std::string error;        // when not ok: what is wrong, naming the file
};

// Reads the state file. A missing file gives the factory defaults; one that
// cannot be read, is not exactly 87 bytes, or holds values outside their
// lists is an error.
LoadedState LoadPrinterState(FileSystem& fs, const std::string& path);

// Writes the memory as the whole state file; false with `error` set on failure.
bool SavePrinterState(FileSystem& fs, const std::string& path, const SettingsRecord& memory,
                      std::string& error);

}  // namespace rovant::sim
