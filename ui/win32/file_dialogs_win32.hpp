// The open and save dialogs for setting files, on the common dialogs.
#pragma once

#include "platform/file_dialogs.hpp"

namespace rovant::ui {

inline constexpr char kSettingFileFilter[] = "FOM(*.fom)\0*.fom\0";
inline constexpr char kSettingFileExtension[] = "fom";

class Win32FileDialogs final : public FileDialogs {
 public:
  std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override;
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override;
};

}  // namespace rovant::ui
