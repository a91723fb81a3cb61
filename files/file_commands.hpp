// The file commands of the main window: reading and saving setting files
// through the open and save dialogs, and the working copy kept between runs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/settings_record.hpp"
#include "platform/cursor.hpp"
#include "platform/file_dialogs.hpp"
#include "platform/file_system.hpp"
#include "platform/message_boxes.hpp"
#include "platform/page_store.hpp"

namespace rovant {

// What the file commands work with.
struct FileCommandContext {
  FileSystem& fs;
  FileDialogs& dialogs;
  MessageBoxes& boxes;
  Cursor& cursor;
  PageStore& pages;
  SettingsRecord& record;
  std::string settingsFolder;
  WindowRef mainWindow = kNoWindow;
};

// Dialog option flags: the file must exist, the read-only box is hidden.
inline constexpr unsigned kOpenDialogFlags = 0x1004;
inline constexpr unsigned kSaveDialogFlags = 0x0004;
inline constexpr std::string_view kOpenDialogTitle = "OPEN";
inline constexpr std::string_view kSaveDialogTitle = "Save";

// Asks for a file and loads it into the record. A missing, short, empty,
// unreadable or damaged file is reported and leaves the record unchanged.
// Returns true when the record was replaced.
bool OpenSettingFile(FileCommandContext& context);

// Stores the visible page into the record and saves the record to a file the
// user names, asking before an existing file is overwritten. Returns true
// when the file was written.
bool SaveSettingFile(FileCommandContext& context);

// The working copy's path: the settings folder, the separator and
// "rovant.ini", cut to fit a buffer of `bufferSize` bytes with its terminator.
std::string WorkingCopyPath(std::string_view settingsFolder, std::size_t bufferSize = 260);

enum class WorkingCopySource { kWorkingCopy, kFactoryDefaults };

// Loads the working copy into the record; a missing, short, unreadable or
// damaged one gives the factory defaults instead. No message either way.
WorkingCopySource LoadWorkingCopy(FileCommandContext& context);

// Stores the visible page into the record and the record into the working copy.
bool StoreWorkingCopy(FileCommandContext& context);

}  // namespace rovant
