// Reading the profiles and inventories the fleet commands take, with every
// refusal on standard error as FILE:LINE: reason.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "base/expected.hpp"
#include "fleet/profile.hpp"
#include "fleet/yaml_files.hpp"
#include "platform/file_system.hpp"

namespace rovant::cli {

// The longest profile or inventory read.
inline constexpr std::size_t kYamlFileLimit = std::size_t{1} << 20;

// A YAML profile, or an 87-byte setting file (named *.fom) meaning all its items.
std::optional<fleet::Profile> LoadProfile(FileSystem& fs, const std::string& path,
                                          std::ostream& err);

std::optional<fleet::Inventory> LoadInventory(FileSystem& fs, const std::string& path,
                                              std::ostream& err);

// The whole text of a small file.
Expected<std::string> ReadTextFile(FileSystem& fs, const std::string& path);

}  // namespace rovant::cli
