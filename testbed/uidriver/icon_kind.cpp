// Which icon a control shows, decided by its pixels (uidriver.hpp).
#include <algorithm>
#include <array>
#include <cstdint>

#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

// A picture: 32-bit pixels 0x00RRGGBB, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
  [[nodiscard]] bool empty() const { return pixels.empty(); }
};

// A `width` x `height` picture of what `draw` paints into a memory device context (given with the
// screen's, as a source); empty if the size is unreasonable or `draw` fails.
template <typename Draw>
Image DrawToImage(int width, int height, const Draw& draw) {
  Image image;
  if (width <= 0 || height <= 0 || width > 1024 || height > 1024) return image;
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
  const auto* source = static_cast<const std::uint32_t*>(bits);
  image.width = width;
  image.height = height;
  image.pixels.assign(source,
                      source + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::uint32_t& p : image.pixels) p &= 0x00FFFFFFU;
  return image;
}

// The names of IconKind's values, in their order.
constexpr std::array<std::string_view, 10> kNames{
    {"none", "error", "warning", "information", "question", "printer-error", "printer-information",
     "printer-warning", "application", "unknown"}};

// The closest candidate must differ from the capture in at most this share of pixels. A true
// match differs in none under Wine (the same resources drawn by the same code); the closest pair
// of candidates, Wine's question and information icons (both blue discs), differ in about 7% of
// their 32x32 pixels.
constexpr double kMatchLimit = 0.02;

// `icon` drawn at `width` x `height` over `background` by this process.
Image Render(HICON icon, int width, int height, std::uint32_t background) {
  return DrawToImage(width, height, [&](HDC target, HDC) {
    const COLORREF colour =
        RGB((background >> 16) & 0xFFU, (background >> 8) & 0xFFU, background & 0xFFU);
    win32::UniqueBrush brush(::CreateSolidBrush(colour));
    const RECT all{0, 0, width, height};
    ::FillRect(target, &all, brush.get());
    ::DrawIconEx(target, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return true;
  });
}

double MismatchShare(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 1.0;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) ++differing;
  return static_cast<double>(differing) / static_cast<double>(a.pixels.size());
}

}  // namespace

std::string_view NameOf(IconKind kind) { return kNames[static_cast<std::size_t>(kind)]; }

IconCandidates::IconCandidates(const std::wstring& path) {
  const std::pair<IconKind, LPCWSTR> stock[] = {{IconKind::kError, IDI_HAND},
                                                {IconKind::kWarning, IDI_EXCLAMATION},
                                                {IconKind::kInformation, IDI_ASTERISK},
                                                {IconKind::kQuestion, IDI_QUESTION}};
  for (const auto& [kind, id] : stock)
    if (HICON icon = ::LoadIconW(nullptr, id)) candidates_.push_back({kind, icon});
  win32::UniqueModule module(::LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return;  // none named, or not there
  const std::pair<IconKind, WORD> own[] = {{IconKind::kPrinterError, 187},
                                           {IconKind::kPrinterInformation, 188},
                                           {IconKind::kPrinterWarning, 189},
                                           {IconKind::kApplication, 160}};
  for (const auto& [kind, id] : own) {
    // LoadImage makes a copy that does not depend on the module staying loaded.
    auto* icon = static_cast<HICON>(
        ::LoadImageW(module.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (icon == nullptr) continue;
    owned_.emplace_back(icon);
    candidates_.push_back({kind, icon});
  }
}

IconKind ClassifyIcon(HWND iconControl, const IconCandidates& candidates, std::string* report) {
  RECT client{};
  if (iconControl == nullptr || ::IsWindowVisible(iconControl) == FALSE) return IconKind::kNone;
  if (::GetClientRect(iconControl, &client) == FALSE) return IconKind::kUnknown;
  POINT origin{0, 0};
  ::ClientToScreen(iconControl, &origin);
  const Image shown = DrawToImage(client.right, client.bottom, [&](HDC target, HDC screen) {
    return ::BitBlt(target, 0, 0, client.right, client.bottom, screen, origin.x, origin.y,
                    SRCCOPY) != FALSE;
  });
  if (shown.empty()) return IconKind::kUnknown;
  if (std::ranges::count(shown.pixels, shown.pixels.front()) == std::ssize(shown.pixels))
    return IconKind::kNone;  // nothing drawn
  IconKind best = IconKind::kUnknown;
  double bestShare = kMatchLimit;
  for (const IconCandidates::Candidate& c : candidates.candidates()) {
    const double share =
        MismatchShare(shown, Render(c.icon, shown.width, shown.height, shown.pixels.front()));
    if (share <= bestShare) {
      best = c.kind;
      bestShare = share;
    }
    if (report != nullptr)
      *report += " " + std::string(NameOf(c.kind)) + " " + std::to_string(share * 100.0) + "%";
  }
  return best;
}

}  // namespace rovant::uidriver
