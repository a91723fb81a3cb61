#include "files/file_commands.hpp"

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"
#include "protocol/show_message.hpp"
#include "texts/file_messages.hpp"
#include "texts/messages.hpp"

namespace rovant {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
constexpr std::string_view kWorkingCopyName = "rovant.ini";

void ShowStop(FileCommandContext& c, std::string_view text) {
  ShowPlainMessage(c.boxes, c.mainWindow, text, msg::kOk | msg::kIconStop);
}

// The path of the working copy, or nothing when it does not fit its buffer:
// a cut path would name another file.
std::optional<std::string> FullWorkingCopyPath(std::string_view folder) {
  std::string path = WorkingCopyPath(folder);
  if (path.size() != folder.size() + 1 + kWorkingCopyName.size()) return std::nullopt;
  return path;
}

}  // namespace

bool OpenSettingFile(FileCommandContext& c) {
  const std::optional<std::string> path =
      c.dialogs.AskOpenPath({c.mainWindow, kOpenDialogTitle, c.settingsFolder, kOpenDialogFlags});
  if (!path) return false;

  const WaitCursor wait(c.cursor);
  const LoadedSettings loaded = LoadSettingFile(c.fs, *path);
  switch (loaded.status) {
    case LoadStatus::kOk:
      c.record = loaded.record;
      c.pages.RefreshCurrentPage();
      return true;
    case LoadStatus::kNotFound:
    case LoadStatus::kOpenFailed:
      ShowStop(c, msg::kFileNotExisting);
      return false;
    case LoadStatus::kReadFailed:
    case LoadStatus::kEmpty:
    case LoadStatus::kShort:
      ShowStop(c, msg::kFileNotGot);
      return false;
    case LoadStatus::kOutOfList: {
      std::string text(msg::kFileDamagedHeader);
      text += ListItemsWithValues(loaded.badItems, loaded.record);
      ShowStop(c, text);
      return false;
    }
  }
  return false;
}

bool SaveSettingFile(FileCommandContext& c) {
  c.pages.StorePageSelections();
  const SettingsRecord copy = c.record;
  const FileDialogRequest request{c.mainWindow, kSaveDialogTitle, c.settingsFolder,
                                  kSaveDialogFlags};
  for (;;) {
    const std::optional<std::string> path = c.dialogs.AskSavePath(request);
    if (!path) return false;

    const WaitCursor wait(c.cursor);
    FileStatus status = WriteSettingFile(c.fs, *path, copy, WritePolicy::kCreateNew);
    if (status == FileStatus::kAlreadyExists) {
      const int answer = ShowPlainMessage(c.boxes, c.mainWindow, msg::kFileOverwriteQuestion,
                                          msg::kYesNo | msg::kIconQuestion);
      if (answer != msg::kResultYes) continue;
      status = WriteSettingFile(c.fs, *path, copy, WritePolicy::kReplace);
    }
    switch (status) {
      case FileStatus::kOk:
        return true;
      case FileStatus::kReadOnly:
        ShowStop(c, msg::kFileProhibited);
        return false;
      default:
        ShowStop(c, msg::kFileWriteFailed);
        return false;
    }
  }
}

std::string WorkingCopyPath(std::string_view settingsFolder, std::size_t bufferSize) {
  std::string path(settingsFolder);
  path += kPathSeparator;
  path += kWorkingCopyName;
  const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
  if (path.size() > limit) path.resize(limit);
  return path;
}

WorkingCopySource LoadWorkingCopy(FileCommandContext& c) {
  const std::optional<std::string> path = FullWorkingCopyPath(c.settingsFolder);
  const WaitCursor wait(c.cursor);
  WorkingCopySource source = WorkingCopySource::kFactoryDefaults;
  if (path) {
    const LoadedSettings loaded = LoadSettingFile(c.fs, *path);
    if (loaded.status == LoadStatus::kOk) {
      c.record = loaded.record;
      source = WorkingCopySource::kWorkingCopy;
    }
  }
  if (source == WorkingCopySource::kFactoryDefaults) ResetToFactoryDefaults(c.record);
  c.pages.RefreshCurrentPage();
  return source;
}

bool StoreWorkingCopy(FileCommandContext& c) {
  const WaitCursor wait(c.cursor);
  c.pages.StorePageSelections();
  const std::optional<std::string> path = FullWorkingCopyPath(c.settingsFolder);
  const SettingsRecord copy = c.record;
  if (!path) {
    ShowStop(c, msg::kWorkingCopyNotOpened);
    return false;
  }
  switch (WriteSettingFile(c.fs, *path, copy, WritePolicy::kReplace)) {
    case FileStatus::kOk:
      return true;
    case FileStatus::kWriteFailed:
      ShowStop(c, msg::kWorkingCopyNotWritten);
      return false;
    default:
      ShowStop(c, msg::kWorkingCopyNotOpened);
      return false;
  }
}

}  // namespace rovant
