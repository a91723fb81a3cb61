// The LAN connection library on Windows: SxJcp32.dll, loaded for each
// exchange from the program's own folder or the system folder, never from the
// current folder or PATH, with all 17 entry points bound by name.
#pragma once

#include <memory>
#include <string>

#include "connection/lan_library.hpp"

namespace rovant {

inline constexpr const char* kLanLibraryFileName = "SxJcp32.dll";

class Win32LanLoader final : public LanLoader {
 public:
  // `fileName` must be a bare file name: one with a folder in it is refused.
  explicit Win32LanLoader(std::string fileName = kLanLibraryFileName)
      : fileName_(std::move(fileName)) {}
  // Nothing when the library is not found, or lacks one of the entry points
  // (it is unloaded again then).
  std::unique_ptr<LanLibrary> Load() override;

 private:
  std::string fileName_;
};

}  // namespace rovant
