// Screenshots: a rectangle of the screen as it is shown (BitBlt from the screen's device
// context), so overlapping windows are captured too. Needs a real X display under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "testbed/uidriver/image.hpp"

namespace rovant::uidriver {

// A `width` x `height` picture of what `draw` paints into a memory device context (given with the
// screen's, as a source); empty if the size is unreasonable or `draw` fails.
Image DrawToImage(int width, int height, const std::function<bool(HDC target, HDC screen)>& draw);
// The screen rectangle (screen coordinates); empty if it cannot be captured.
Image CaptureScreenRect(const RECT& rect);
// The whole (virtual) screen.
Image CaptureScreen();
// One window's rectangle on the screen, frame included.
Image CaptureWindow(HWND window);
// Captures `window` (null: the screen) and saves it as PNG at `path`; false if it cannot.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace rovant::uidriver
