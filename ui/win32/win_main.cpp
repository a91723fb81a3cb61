// The program's entry point: everything is owned by one RovantApp for the whole run.
#include <windows.h>

#include "ui/win32/rovant_app.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int showCommand) {
  rovant::ui::RovantApp app(instance, showCommand);
  return app.Run(previousInstance != nullptr);
}
