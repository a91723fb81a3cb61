// What the main window's commands work with: the operations they start, the
// help viewer, and the windows that own their boxes.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.hpp"
#include "platform/message_boxes.hpp"
#include "platform/window_ref.hpp"
#include "protocol/app_state.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"

namespace rovant::ui {

// The operations of the other parts, as the commands call them.
class CommandOperations {
 public:
  virtual ~CommandOperations() = default;
  // 0 when the selected printer can be used now; otherwise the user has been told why.
  virtual int CheckPrinterReady() = 0;
  // kFailed: no response; the commands read in ReadMode::kRead and kAfterDefault.
  virtual ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) = 0;
  // kFailed: no response; kRefused: the record was refused (already reported).
  virtual WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) = 0;
  // The file dialogs and their messages belong to these.
  virtual bool OpenSettingFile() = 0;
  virtual bool SaveSettingFile() = 0;
  virtual bool StoreWorkingCopy() = 0;
};

// The HTML Help viewer.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Shows the help file's default topic, owned by `owner`; the viewer's window or 0.
  virtual WindowRef ShowTopic(WindowRef owner, std::string_view path) = 0;
  // Closes every help window.
  virtual void CloseAll() = 0;
};

// The process's current directory.
class CurrentDirectory {
 public:
  virtual ~CurrentDirectory() = default;
  virtual bool Set(std::string_view path) = 0;
};

struct CommandContext {
  AppState& state;  // NoResponsePending
  CommandOperations& operations;
  MessageBoxes& boxes;
  Clock& clock;
  HelpViewer& help;
  CurrentDirectory& directory;
  WindowRef mainWindow = kNoWindow;  // owner of the menu commands' boxes
  WindowRef panel = kNoWindow;       // owner of the panel buttons' boxes
  std::string startupDirectory;      // where the help file lives
};

}  // namespace rovant::ui
