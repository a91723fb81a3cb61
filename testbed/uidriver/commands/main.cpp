// rovant-uidriver.exe: the UI driver from a shell script or by hand, beside the program under
// Wine. Windows are chosen by --pid, --class, --caption or --window (a handle in hex); each
// command waits for its window up to --timeout milliseconds.
#include "testbed/uidriver/commands/driver_commands.hpp"

int main(int argc, char** argv) {
  using namespace rovant::uidriver;
  rovant::front::CommandLine line{
      "Drives the windows of programs running beside it under Wine: finds windows, reads message "
      "boxes, list views and combo boxes, presses buttons, types keys and takes screenshots.",
      "rovant-uidriver",
      {.usage = kDriverUsage}};
  CLI::App& app = line.app();
  app.require_subcommand(1);
  app.allow_windows_style_options(false);  // "/tmp/x.png" is a path, not an option
  app.footer(
      "Exit status: 0 done, 1 window or item not found (the windows on screen are listed on "
      "standard error), 2 bad usage.");

  AddListWindowsCommand(line);
  AddWaitWindowCommand(line);
  AddBoxCommand(line);
  AddPressCommand(line);
  AddSelectRowCommand(line);
  AddComboCommand(line);
  AddKeysCommand(line);
  AddScreenshotCommand(line);
  return line.Run(argc, argv);
}
