#include "testbed/uidriver/screenshot.hpp"

#include "platform/win32/unique_handle.hpp"
#include "testbed/uidriver/png_writer.hpp"

namespace rovant::uidriver {

Image DrawToImage(int width, int height, const std::function<bool(HDC target, HDC screen)>& draw) {
  Image image;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return image;
  win32::WindowDc screen(nullptr);
  if (screen.get() == nullptr) return image;
  win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::UniqueBitmap bitmap(
      ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) return image;
  {
    win32::Selected selected(memory.get(), bitmap.get());
    if (!draw(memory.get(), screen.get())) return image;
    ::GdiFlush();
  }
  const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const auto* source = static_cast<const std::uint32_t*>(bits);
  image.width = width;
  image.height = height;
  image.pixels.assign(source, source + count);
  for (std::uint32_t& p : image.pixels) p &= 0x00FFFFFFU;
  return image;
}

Image CaptureScreenRect(const RECT& rect) {
  return DrawToImage(rect.right - rect.left, rect.bottom - rect.top, [&](HDC target, HDC screen) {
    return ::BitBlt(target, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
                    rect.top, SRCCOPY) != FALSE;
  });
}

Image CaptureScreen() {
  const RECT rect{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                  ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return CaptureScreenRect(rect);
}

Image CaptureWindow(HWND window) {
  RECT rect{};
  if (::GetWindowRect(window, &rect) == FALSE) return {};
  return CaptureScreenRect(rect);
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  const Image image = window != nullptr ? CaptureWindow(window) : CaptureScreen();
  return SavePng(image, path);
}

}  // namespace rovant::uidriver
