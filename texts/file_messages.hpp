// The texts of the setting file messages (plain boxes, caption "ROVANT").
#pragma once

#include <string_view>

namespace rovant::msg {

inline constexpr std::string_view kFileNotExisting =
    "Failed to read the setting file. The setting file is not existing";
inline constexpr std::string_view kFileNotGot = "Failed to get the setting file";
inline constexpr std::string_view kFileOverwriteQuestion =
    "The setting file of the specified name is already existing. Is it OK to overwrite?";
inline constexpr std::string_view kFileProhibited =
    "The current setting file is prohibited for overwriting.  \n\n Change the attribute of the "
    "file or select another file";
inline constexpr std::string_view kFileWriteFailed =
    "Failed to write the setting file.  \n\n The file on the disk was left as it was. Check the "
    "free space of the disk or select another file";
inline constexpr std::string_view kFileDamagedHeader =
    "The setting file is damaged. It was not read.\n\nThe value of the following items is not in "
    "their option list:\n\n";
inline constexpr std::string_view kWorkingCopyNotOpened =
    "Failed to open the temporary setting file \"rovant.ini\" ";
inline constexpr std::string_view kWorkingCopyNotWritten =
    "Failed to write the temporary setting file \"rovant.ini\" ";

}  // namespace rovant::msg
