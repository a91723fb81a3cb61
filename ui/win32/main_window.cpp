#include "ui/win32/main_window.hpp"

#include <commctrl.h>

#include "resources/resource_ids.h"

namespace rovant::ui {
namespace {

WindowRef Ref(HWND window) { return reinterpret_cast<WindowRef>(window); }

}  // namespace

ATOM RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA type{};
  type.style = CS_HREDRAW | CS_VREDRAW;
  type.lpfnWndProc = &win32::WindowBase::WindowProcedure;
  type.hInstance = instance;
  type.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRINTER));
  type.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  type.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
  type.lpszClassName = kMainClassName;
  return RegisterClassA(&type);
}

MainWindow::~MainWindow() {
  hook_.Remove();
  restoreTimer_.Stop();
  if (window() != nullptr && IsWindow(window())) DestroyWindow(window());
}

bool MainWindow::Create(int showCommand) {
  HWND created = CreateWindowExA(0, kMainClassName, kMainWindowTitle, kMainWindowStyle, 0, 0, 0, 0,
                                 nullptr, nullptr, parts_.instance, CreationParameter());
  if (created == nullptr || panel_.window() == nullptr ||
      parts_.pages.PageWindow(kMenu1Page) == nullptr) {
    return false;
  }

  // Sized so that its client area is exactly the panel (caption, menu bar and
  // frame around it: adding only the caption and menu bar heights would cut
  // the panel's right and bottom edge by the frame), centred on the screen.
  RECT outer{};
  GetClientRect(panel_.window(), &outer);
  AdjustWindowRectEx(&outer, kMainWindowStyle, TRUE, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  MoveWindow(window(), left, top, width, height, TRUE);

  ShowWindow(window(), showCommand);
  UpdateWindow(window());

  // The window cannot be resized or maximised: its system menu loses Size, then Maximize.
  if (HMENU system = GetSystemMenu(window(), FALSE)) {
    RemoveMenu(system, 2, MF_BYPOSITION);
    RemoveMenu(system, 3, MF_BYPOSITION);
  }
  DrawMenuBar(window());

  accelerators_.reset(LoadAcceleratorsA(parts_.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));
  return true;
}

bool MainWindow::PreTranslate(MSG& message) {
  if (window() != nullptr && accelerators_.get() != nullptr &&
      TranslateAcceleratorA(window(), accelerators_.get(), &message) != 0) {
    return true;
  }
  for (const PageLayout& page : kPages) {
    HWND window = parts_.pages.PageWindow(page.index);
    if (window != nullptr && IsDialogMessageA(window, &message) != 0) return true;
  }
  if (panel_.tabs() != nullptr && IsDialogMessageA(panel_.tabs(), &message) != 0) return true;
  return panel_.window() != nullptr && IsDialogMessageA(panel_.window(), &message) != 0;
}

int MainWindow::RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;
    if (!PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

win32::WindowBase::Answer MainWindow::OnInit(WPARAM, LPARAM) {
  OnCreate();
  return 0;
}

win32::WindowBase::Answer MainWindow::OnCommand(WPARAM wParam, LPARAM) {
  OnMenuCommand(LOWORD(wParam));
  return 0;
}

win32::WindowBase::Answer MainWindow::OnTimer(UINT_PTR id) {
  if (id != kRestoreFocusTimer) return {};
  restoreTimer_.Stop();
  FocusControl(savedFocus_);
  return 0;
}

win32::WindowBase::Answer MainWindow::OnDestroy() {
  EndRun();
  return 0;
}

void MainWindow::OnDetach() { savedFocus_ = nullptr; }

win32::WindowBase::Answer MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_ACTIVATE:
      if (wParam == 0) {  // deactivated
        hook_.Reinstall();
        SaveFocus(GetFocus());
      }
      return {};
    case WM_SETFOCUS:
      FocusControl(savedFocus_);
      parts_.clock.SleepMs(kFocusChangeWaitMs);
      hook_.Reinstall();
      return 0;
    case WM_KILLFOCUS:
      SaveFocus(reinterpret_cast<HWND>(wParam));
      parts_.clock.SleepMs(kFocusChangeWaitMs);
      hook_.Reinstall();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED)
        restoreTimer_.Start(window(), kRestoreFocusTimer, kRestoreFocusDelayMs);
      return 0;
    case WM_SYSCOMMAND:
      hook_.Reinstall();
      if ((wParam & 0xFFF0) == SC_MINIMIZE) SaveFocus(GetFocus());
      return {};
    case WM_SETCURSOR:
      // Answered here, without default processing: a control under the mouse sets its own.
      hook_.Reinstall();
      return FALSE;
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      return {};
  }
}

void MainWindow::OnCreate() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  parts_.commands.mainWindow = Ref(window());
  parts_.pages.SetMainWindow(window());

  HWND panel = panel_.Create(parts_.instance, window());
  if (panel == nullptr) return;  // InitInstance finds no panel and fails
  parts_.commands.panel = Ref(panel);
  parts_.pages.AttachTooltips();

  RECT client{};
  GetClientRect(panel, &client);
  MoveWindow(panel, 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
  ShowWindow(panel, SW_SHOW);
  // Every dialog box of the program shows the printer picture.
  SetClassLongPtrA(
      panel, GCLP_HICON,
      reinterpret_cast<LONG_PTR>(LoadIconA(parts_.instance, MAKEINTRESOURCEA(IDI_PRINTER))));
}

bool MainWindow::IsOurs(HWND control) const {
  return control != nullptr && window() != nullptr && IsChild(window(), control) != FALSE;
}

void MainWindow::SaveFocus(HWND focused) {
  if (IsOurs(focused)) savedFocus_ = focused;
}

void MainWindow::FocusControl(HWND control) const {
  if (control == nullptr || IsWindow(control) == FALSE) return;
  // Inside the panel through its next-control request, so that the default button follows.
  if (panel_.window() != nullptr && IsChild(panel_.window(), control) != FALSE) {
    SendMessageA(panel_.window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  } else {
    SetFocus(control);
  }
}

void MainWindow::RestoreFocus(const FocusDecision& decision, HWND control) {
  if (decision.foreground && window() != nullptr) SetForegroundWindow(window());
  const HWND target = decision.target == FocusTarget::kValidSaved
                          ? parts_.pages.ValidFocusTarget(control)
                          : control;
  FocusControl(target);
}

void MainWindow::OnMenuCommand(int id) {
  if (id == IDM_FINISH) {
    SendMessageA(window(), WM_CLOSE, 0, 0);
    return;
  }
  CommandContext& context = parts_.commands;
  SaveFocus(GetFocus());
  FocusDecision decision;
  switch (id) {
    case IDM_READ:
      decision = ReadCommand(context, CommandSource::kMenu);
      break;
    case IDM_TRANSFER:
      decision = TransferCommand(context, CommandSource::kMenu);
      break;
    case IDM_INITIALIZE:
      decision = InitializeCommand(context, CommandSource::kMenu);
      break;
    case IDM_LIST_PRINT:
      decision = ListPrintCommand(context);
      break;
    case IDM_FILE_READ:
      decision = FileReadCommand(context);
      break;
    case IDM_SAVE:
      decision = SaveCommand(context);
      break;
    case IDM_HELP:
      decision = HelpCommand(context);
      break;
    case IDM_VERSION:
      decision = VersionCommand(context);
      break;
    default:
      return;
  }
  RestoreFocus(decision, savedFocus_);
}

void MainWindow::OnPanelButton(int id, HWND focused) {
  CommandContext& context = parts_.commands;
  FocusDecision decision;
  switch (id) {
    case IDC_FINISH:
      SendMessageA(window(), WM_CLOSE, 0, 0);
      return;
    case IDC_READ:
      decision = ReadCommand(context, CommandSource::kButton);
      break;
    case IDC_TRANSFER:
      decision = TransferCommand(context, CommandSource::kButton);
      break;
    case IDC_INITIALIZE:
      decision = InitializeCommand(context, CommandSource::kButton);
      break;
    default:
      return;
  }
  RestoreFocus(decision, focused);
}

void MainWindow::OnClose() {
  SaveFocus(GetFocus());
  if (QuitDialogue(parts_.commands) == QuitDecision::kKeepRunning) {
    FocusControl(savedFocus_);
    return;
  }
  DestroyWindow(window());
}

void MainWindow::EndRun() {
  restoreTimer_.Stop();
  OnMainWindowDestroyed(parts_.commands);
  PostQuitMessage(0);
}

}  // namespace rovant::ui
