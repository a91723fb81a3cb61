#include "ui/win32/file_dialogs_win32.hpp"

#include <windows.h>
// The common dialogs need the definitions above.
#include <commdlg.h>

#include <array>

namespace rovant::ui {
namespace {

using PathBuffer = std::array<char, MAX_PATH>;

OPENFILENAMEA Describe(const FileDialogRequest& request, const std::string& title,
                       const std::string& folder, PathBuffer& path) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = reinterpret_cast<HWND>(request.owner);
  dialog.lpstrFilter = kSettingFileFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = request.flags;
  dialog.lpstrDefExt = kSettingFileExtension;
  return dialog;
}

template <typename Ask>
std::optional<std::string> AskPath(const FileDialogRequest& request, Ask ask) {
  const std::string title(request.title);
  const std::string folder(request.initialFolder);
  PathBuffer path{};
  OPENFILENAMEA dialog = Describe(request, title, folder, path);
  if (!ask(&dialog)) return std::nullopt;
  path.back() = '\0';
  return std::string(path.data());
}

}  // namespace

std::optional<std::string> Win32FileDialogs::AskOpenPath(const FileDialogRequest& request) {
  return AskPath(request, ::GetOpenFileNameA);
}

std::optional<std::string> Win32FileDialogs::AskSavePath(const FileDialogRequest& request) {
  return AskPath(request, ::GetSaveFileNameA);
}

}  // namespace rovant::ui
