#include "ui/commands.hpp"

#include "protocol/show_message.hpp"
#include "texts/command_texts.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"
#include "ui/startup.hpp"

namespace rovant::ui {
namespace {

constexpr FocusDecision kRestore{false, FocusTarget::kSaved};
constexpr FocusDecision kRestoreValid{false, FocusTarget::kValidSaved};
constexpr FocusDecision kForegroundRestore{true, FocusTarget::kSaved};
constexpr FocusDecision kForegroundRestoreValid{true, FocusTarget::kValidSaved};

WindowRef OwnerOf(const CommandContext& c, CommandSource source) {
  return source == CommandSource::kMenu ? c.mainWindow : c.panel;
}

// The focus after a failed readiness check: a panel button also brings the
// main window to the foreground.
FocusDecision NotReady(CommandSource source) {
  return source == CommandSource::kButton ? kForegroundRestore : kRestore;
}

bool Confirmed(CommandContext& c, WindowRef owner, std::string_view question) {
  return ShowPlainMessage(c.boxes, owner, question, kConfirmStyle) == msg::kResultOk;
}

void ShowNoResponse(CommandContext& c, WindowRef owner) {
  ShowMessage(c.boxes, msg::kUserIconOk, msg::kNoResponse, msg::kIconError, 0, owner);
}

// A write that found no printer is reported here; a refused one has reported itself.
bool WriteSucceeded(CommandContext& c, WriteMode mode, WindowRef owner) {
  const WriteResult result = c.operations.WritePrinterSettings(mode, owner);
  if (result == WriteResult::kFailed) ShowNoResponse(c, owner);
  return result == WriteResult::kDone;
}

// A read that found no printer is reported here.
void Read(CommandContext& c, ReadMode mode, WindowRef owner) {
  if (c.operations.ReadPrinterSettings(mode, owner) == ReadResult::kFailed)
    ShowNoResponse(c, owner);
}

}  // namespace

FocusDecision ReadCommand(CommandContext& c, CommandSource source) {
  const WindowRef owner = OwnerOf(c, source);
  const bool menu = source == CommandSource::kMenu;
  if (c.operations.CheckPrinterReady() != 0) return NotReady(source);
  if (!Confirmed(c, owner, msg::kConfirmRead)) return menu ? kRestore : kForegroundRestore;
  Read(c, ReadMode::kRead, owner);
  return menu ? kForegroundRestoreValid : kForegroundRestore;
}

FocusDecision TransferCommand(CommandContext& c, CommandSource source) {
  const WindowRef owner = OwnerOf(c, source);
  const bool menu = source == CommandSource::kMenu;
  if (c.operations.CheckPrinterReady() != 0) return NotReady(source);
  if (!Confirmed(c, owner, msg::kConfirmTransfer)) return menu ? kRestore : kForegroundRestore;
  WriteSucceeded(c, WriteMode::kTransfer, owner);
  return kForegroundRestore;
}

FocusDecision InitializeCommand(CommandContext& c, CommandSource source) {
  const WindowRef owner = OwnerOf(c, source);
  const FocusDecision after = source == CommandSource::kMenu ? kRestoreValid : kRestore;
  if (c.operations.CheckPrinterReady() != 0) return NotReady(source);
  if (!Confirmed(c, owner, msg::kConfirmInitialize)) return after;
  if (!WriteSucceeded(c, WriteMode::kFactoryDefault, owner)) return after;
  c.clock.SleepMs(kWaitBeforeReadAfterDefault);
  Read(c, ReadMode::kAfterDefault, owner);
  return after;
}

FocusDecision ListPrintCommand(CommandContext& c) {
  if (c.operations.CheckPrinterReady() != 0) return kRestore;
  if (!Confirmed(c, c.mainWindow, msg::kConfirmListPrint)) return kRestore;
  WriteSucceeded(c, WriteMode::kListPrint, c.mainWindow);
  return kRestore;
}

FocusDecision FileReadCommand(CommandContext& c) {
  c.operations.OpenSettingFile();
  return kRestoreValid;
}

FocusDecision SaveCommand(CommandContext& c) {
  c.operations.SaveSettingFile();
  return kRestore;
}

std::string HelpFilePath(std::string_view startupDirectory) {
  std::string path(startupDirectory);
  path += '\\';
  path += msg::kHelpFileName;
  return FitBuffer(path, kPathBufferSize);
}

FocusDecision HelpCommand(CommandContext& c) {
  c.directory.Set(c.startupDirectory);
  c.help.ShowTopic(c.mainWindow, HelpFilePath(c.startupDirectory));
  return kForegroundRestore;
}

FocusDecision VersionCommand(CommandContext& c) {
  ShowMessage(c.boxes, msg::kUserIconOk, msg::kVersion, msg::kIconApplication, 0, c.mainWindow);
  return kRestore;
}

QuitDecision QuitDialogue(CommandContext& c) {
  const int answer = ShowPlainMessage(c.boxes, c.mainWindow, msg::kConfirmQuit, kQuitStyle);
  if (answer != msg::kResultYes && answer != msg::kResultNo) return QuitDecision::kKeepRunning;
  // Settings the user asked to keep are never lost: when they cannot be stored (the message
  // says so) the program stays open for a save to a file or a quit without keeping them.
  if (answer == msg::kResultYes && !c.operations.StoreWorkingCopy()) {
    return QuitDecision::kKeepRunning;
  }
  if (c.state.noResponsePending) {
    ShowMessage(c.boxes, msg::kUserIconOk, msg::kQuitNoResponse, msg::kIconError, 0, c.mainWindow);
  }
  return QuitDecision::kDestroy;
}

void OnMainWindowDestroyed(CommandContext& c) { c.help.CloseAll(); }

}  // namespace rovant::ui
