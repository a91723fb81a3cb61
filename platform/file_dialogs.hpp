// The open and save dialogs for setting files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/window_ref.hpp"

namespace rovant {

struct FileDialogRequest {
  WindowRef owner = kNoWindow;
  std::string_view title;          // "OPEN" or "Save"
  std::string_view initialFolder;  // the settings folder
  unsigned flags = 0;              // the dialog's option flags
  // Filter "FOM(*.fom)" / "*.fom" and default extension "fom" are fixed.

  friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or nothing when the user cancelled or the dialog failed.
  virtual std::optional<std::string> AskOpenPath(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSavePath(const FileDialogRequest& request) = 0;
};

}  // namespace rovant
