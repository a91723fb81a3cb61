// The commands of rovant-uidriver.exe, one file each (command_*.cpp). Each adds itself to the
// command line; its body returns the exit code.
#pragma once

#include <windows.h>

#include <string>

#include "cli_front/command_line.hpp"

namespace rovant::uidriver {

enum DriverExit : int { kDriverOk = 0, kDriverNotFound = 1, kDriverUsage = 2 };

// The window a command works on, as its options name it.
struct Target {
  DWORD pid = 0;
  std::string className;
  std::string caption;
  std::string handle;
  DWORD timeoutMs = 10000;
};

// --pid, --class, --caption, --window and --timeout.
void AddTargetOptions(CLI::App& command, Target& target);
// Whether the options name a window by handle, class or caption.
bool NamesWindow(const Target& target);
// The window the options name, waited for; null (and a message) if none.
HWND Resolve(const Target& target);
// A window handle as list-windows prints it ("0x1a2b").
std::string Hex(HWND window);

void AddListWindowsCommand(front::CommandLine& line);
void AddWaitWindowCommand(front::CommandLine& line);
void AddBoxCommand(front::CommandLine& line);
void AddPressCommand(front::CommandLine& line);
void AddSelectRowCommand(front::CommandLine& line);
void AddComboCommand(front::CommandLine& line);
void AddKeysCommand(front::CommandLine& line);
void AddScreenshotCommand(front::CommandLine& line);

}  // namespace rovant::uidriver
