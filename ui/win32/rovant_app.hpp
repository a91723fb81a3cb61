// The program on Windows: one object owns the process-wide state (the settings, the selected
// printer, the pages, the reply mailbox, the services and the MainWindow) and runs the start
// in WinMain's order (ui/startup.hpp) on the real system.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "connection/lan_connection.hpp"
#include "connection/mailbox_link.hpp"
#include "connection/mailbox_platform_win32.hpp"
#include "connection/reply_mailbox.hpp"
#include "files/file_commands.hpp"
#include "platform/native_file_system.hpp"
#include "protocol/app_state.hpp"
#include "protocol/printer_operation.hpp"
#include "ui/command_surroundings.hpp"
#include "ui/core_command_operations.hpp"
#include "ui/page_context.hpp"
#include "ui/selection_context.hpp"
#include "ui/startup.hpp"
#include "ui/win32/clock_win32.hpp"
#include "ui/win32/cursor_win32.hpp"
#include "ui/win32/file_dialogs_win32.hpp"
#include "ui/win32/html_help_viewer.hpp"
#include "ui/win32/main_window.hpp"
#include "ui/win32/message_boxes_win32.hpp"
#include "ui/win32/operation_host_win32.hpp"
#include "ui/win32/setting_pages.hpp"
#include "ui/win32/spooler_win32.hpp"
#include "ui/win32/startup_services_win32.hpp"

namespace rovant::ui {

// The port text the LAN library opens: the port name cut at its first colon.
std::string LanPortNameOf(const PrinterEntry& printer);

// The LAN connection library's loader for this build. Replace here to bind "SxJcp32.dll"; the
// one given loads nothing, so a printer on a network port reports that the library is missing.
std::unique_ptr<LanLoader> MakeLanLoader();

// The printer link of the selected printer: opening an exchange points the spooler job at the
// selected printer and the LAN connection at its port, then opens by the route.
class SelectedPrinterLink final : public PrinterLink {
 public:
  SelectedPrinterLink(const AppState& state, bool ntFamily, Win32MailboxPlatform& platform,
                      ReplyMailbox& mailbox, LanLoader& loader, Clock& clock, MessageBoxes& boxes,
                      const WindowRef& mainWindow)
      : state_(state),
        ntFamily_(ntFamily),
        platform_(platform),
        mailbox_(mailbox),
        loader_(loader),
        clock_(clock),
        boxes_(boxes),
        mainWindow_(mainWindow) {}

  LinkOpening Open(LinkRoute route) override;
  bool Send(std::string_view bytes) override { return Link().Send(bytes); }
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override {
    return Link().Receive(reply, length);
  }
  void Close() override { Link().Close(); }
  [[nodiscard]] std::string LastError() const override {
    return link_ ? link_->LastError() : std::string();
  }

 private:
  MailboxLink& Link();

  const AppState& state_;
  bool ntFamily_;
  Win32MailboxPlatform& platform_;
  ReplyMailbox& mailbox_;
  LanLoader& loader_;
  Clock& clock_;
  MessageBoxes& boxes_;
  const WindowRef& mainWindow_;
  std::optional<LanConnection> lan_;
  std::optional<MailboxLink> link_;
};

class RovantApp final : public StartupEnvironment {
 public:
  RovantApp(HINSTANCE instance, int showCommand);
  RovantApp(const RovantApp&) = delete;
  RovantApp& operator=(const RovantApp&) = delete;
  ~RovantApp() override;

  // WinMain: the exit code.
  int Run(bool previousInstance);

  // StartupEnvironment
  std::optional<std::string> GetAppDataFolder() override { return folders_.GetAppDataFolder(); }
  bool CreateFolder(const std::string& path) override { return folders_.CreateFolder(path); }
  std::optional<PlatformVersion> QueryVersion(unsigned recordSize) override;
  bool IsRunningUnderWow64() override;
  std::string CurrentDirectory() override;
  bool RegisterMainClass() override;
  InstanceCheck AcquireInstanceMutex(std::string_view name) override;
  void ReleaseInstanceMutex() override { mutex_.Release(); }
  bool InitInstance(const StartupFacts& facts) override;
  void InstallKeyboardHook() override;
  void RemoveKeyboardHook() override;
  int RunMessageLoop() override;
  void ExitCleanup() override;

 private:
  // Everything that needs the start-up facts; made by InitInstance.
  struct Session;

  HINSTANCE instance_;
  int showCommand_;
  AppState state_;  // the SettingsRecord, StagingRecord, ConnectedModel, SelectedPrinter
  Win32Clock clock_;
  Win32Cursor cursor_;
  Win32MessageBoxes boxes_;
  NativeFileSystem files_;
  Win32FileDialogs fileDialogs_;
  HtmlHelpViewer help_;
  Win32CurrentDirectory directory_;
  Win32FolderSystem folders_;
  InstanceMutex mutex_;
  std::unique_ptr<LanLoader> lanLoader_;
  PageContext pageContext_;
  SettingPages pages_;
  std::unique_ptr<Session> session_;
};

}  // namespace rovant::ui
