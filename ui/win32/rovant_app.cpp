#include "ui/win32/rovant_app.hpp"

#include "connection/lan_loader_win32.hpp"
#include "connection/mailbox_names.hpp"
#include "platform/win32/system.hpp"
#include "ui/printer_selection.hpp"
#include "ui/startup_selection.hpp"
#include "ui/win32/printer_selection_dialog.hpp"
#include "ui/win32/startup_window_win32.hpp"

namespace rovant::ui {
std::string LanPortNameOf(const PrinterEntry& printer) {
  if (!printer.lanPortName.empty()) return printer.lanPortName;
  const std::size_t colon = printer.portName.find(':');
  return printer.portName.substr(0, colon);
}

std::unique_ptr<LanLoader> MakeLanLoader() { return std::make_unique<Win32LanLoader>(); }

LinkOpening SelectedPrinterLink::Open(LinkRoute route) {
  // A new exchange: the link follows the printer selected now.
  link_.reset();
  lan_.reset();
  platform_.SetPrinter(state_.selectedPrinter.printerName, state_.selectedPrinter.printerNameWide,
                       ntFamily_);
  lan_.emplace(loader_, clock_, boxes_, mainWindow_);
  link_.emplace(mailbox_, *lan_, LanPortNameOf(state_.selectedPrinter));
  return link_->Open(route);
}

MailboxLink& SelectedPrinterLink::Link() {
  if (!link_) {
    lan_.emplace(loader_, clock_, boxes_, mainWindow_);
    link_.emplace(mailbox_, *lan_, LanPortNameOf(state_.selectedPrinter));
  }
  return *link_;
}

struct RovantApp::Session {
  Session(RovantApp& app, const StartupFacts& facts)
      : spooler(facts.platform.ntFamily),
        mailboxPlatform(MailboxNamesFor(facts.platform.localNamespace)),
        mailbox(mailboxPlatform, app.clock_),
        link(app.state_, facts.platform.ntFamily, mailboxPlatform, mailbox, *app.lanLoader_,
             app.clock_, app.boxes_, commands.mainWindow),
        host(app.instance_, nullptr),
        selection{app.state_, spooler, app.boxes_, kNoWindow},
        files{app.files_, app.fileDialogs_,    app.boxes_,           app.cursor_,
              app.pages_, app.state_.settings, facts.settingsFolder, kNoWindow},
        printer{app.state_, link, app.clock_, host, app.cursor_, app.boxes_, app.pages_},
        operations(printer, selection, files),
        commands{app.state_, operations, app.boxes_,
                 app.clock_, app.help_,  app.directory_,
                 kNoWindow,  kNoWindow,  facts.startupDirectory},
        mainWindow(MainWindowParts{app.instance_, app.pages_, app.boxes_, app.clock_, commands}) {}

  Win32Spooler spooler;
  Win32MailboxPlatform mailboxPlatform;
  ReplyMailbox mailbox;
  SelectedPrinterLink link;
  Win32OperationHost host;
  SelectionContext selection;
  FileCommandContext files;
  PrinterOperationContext printer;
  CoreCommandOperations operations;
  CommandContext commands;
  MainWindow mainWindow;
};

RovantApp::RovantApp(HINSTANCE instance, int showCommand)
    : instance_(instance),
      showCommand_(showCommand),
      boxes_(instance),
      lanLoader_(MakeLanLoader()),
      pageContext_{state_, boxes_},
      pages_(pageContext_, instance) {
  // The start-up PrinterEntry: HX320 until a printer is chosen.
  state_.selectedPrinter.modelCode = ModelCode::kHx320;
}

RovantApp::~RovantApp() = default;

int RovantApp::Run(bool previousInstance) { return RunProgram(*this, boxes_, previousInstance); }

std::optional<PlatformVersion> RovantApp::QueryVersion(unsigned recordSize) {
  return QueryPlatformVersion(recordSize);
}

bool RovantApp::IsRunningUnderWow64() { return win32::IsRunningUnderWow64(); }

std::string RovantApp::CurrentDirectory() { return CurrentDirectoryText(); }

bool RovantApp::RegisterMainClass() { return ui::RegisterMainClass(instance_) != 0; }

InstanceCheck RovantApp::AcquireInstanceMutex(std::string_view name) {
  return mutex_.Acquire(name);
}

bool RovantApp::InitInstance(const StartupFacts& facts) {
  session_ = std::make_unique<Session>(*this, facts);
  Session& s = *session_;
  if (!s.mainWindow.Create(showCommand_)) return false;

  HWND main = s.mainWindow.window();
  const WindowRef mainRef = reinterpret_cast<WindowRef>(main);
  s.selection.mainWindow = mainRef;
  s.files.mainWindow = mainRef;
  s.host.SetMainWindow(main);

  PrinterSelection selection(s.selection);
  Win32SelectionDialogRunner dialog(instance_, main, selection);
  Win32StartupWindow window(main, s.mainWindow.panel().window());
  StartupSelection startup{s.selection, dialog, window,
                           [&s](ReadMode mode, WindowRef owner) {
                             return s.operations.ReadPrinterSettings(mode, owner);
                           },
                           [&s] { LoadWorkingCopy(s.files); }};
  return StartupSucceeded(RunStartupSelection(startup));
}

void RovantApp::InstallKeyboardHook() {
  if (session_) session_->mainWindow.hook().Install();
}

void RovantApp::RemoveKeyboardHook() {
  if (session_) session_->mainWindow.hook().Remove();
}

int RovantApp::RunMessageLoop() { return session_ ? session_->mainWindow.RunMessageLoop() : 0; }

void RovantApp::ExitCleanup() {
  if (!session_) return;
  session_->mainWindow.hook().Remove();
  session_->mailbox.Close();
}

}  // namespace rovant::ui
