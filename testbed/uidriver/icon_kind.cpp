// Which icon a control shows, decided by its pixels (uidriver.hpp).
#include <array>
#include <cstdint>
#include <cstdlib>

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

constexpr std::array<std::pair<IconKind, std::string_view>, 9> kNames{{
    {IconKind::kNone, "none"},
    {IconKind::kError, "error"},
    {IconKind::kWarning, "warning"},
    {IconKind::kInformation, "information"},
    {IconKind::kQuestion, "question"},
    {IconKind::kPrinterError, "printer-error"},
    {IconKind::kPrinterInformation, "printer-information"},
    {IconKind::kPrinterWarning, "printer-warning"},
    {IconKind::kApplication, "application"},
}};

// A pixel matches when no channel differs by more than this (allows for colour depth rounding).
constexpr int kChannelTolerance = 24;
// The best candidate must differ in at most this share of pixels (a true match differs in none
// under Wine: the same resources drawn by the same code) ...
constexpr double kMatchLimit = 0.02;
// ... and the next best in at least this much more. The closest pair, Wine's question and
// information icons (both blue discs), differ in about 7% of their 32x32 pixels.
constexpr double kLeadNeeded = 0.05;

bool SamePixel(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFFU);
    const int cb = static_cast<int>((b >> shift) & 0xFFU);
    if (std::abs(ca - cb) > kChannelTolerance) return false;
  }
  return true;
}

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
    if (!SamePixel(a.pixels[i], b.pixels[i])) ++differing;
  return static_cast<double>(differing) / static_cast<double>(a.pixels.size());
}

bool Uniform(const Image& image) {
  for (const std::uint32_t p : image.pixels)
    if (!SamePixel(p, image.pixels.front())) return false;
  return true;
}

}  // namespace

std::string_view NameOf(IconKind kind) {
  for (const auto& [k, name] : kNames)
    if (k == kind) return name;
  return "unknown";
}

IconCandidates::IconCandidates() {
  const std::array<std::pair<IconKind, LPCWSTR>, 4> stock{{
      {IconKind::kError, IDI_HAND},
      {IconKind::kWarning, IDI_EXCLAMATION},
      {IconKind::kInformation, IDI_ASTERISK},
      {IconKind::kQuestion, IDI_QUESTION},
  }};
  for (const auto& [kind, id] : stock)
    if (HICON icon = ::LoadIconW(nullptr, id)) candidates_.push_back({kind, icon});
}

bool IconCandidates::AddFromModule(const std::wstring& path) {
  win32::UniqueModule module(::LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return false;
  const std::array<std::pair<IconKind, WORD>, 4> own{{
      {IconKind::kPrinterError, 187},
      {IconKind::kPrinterInformation, 188},
      {IconKind::kPrinterWarning, 189},
      {IconKind::kApplication, 160},
  }};
  for (const auto& [kind, id] : own) {
    // LoadImage makes a copy that does not depend on the module staying loaded.
    auto* icon = static_cast<HICON>(
        ::LoadImageW(module.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (icon == nullptr) continue;
    owned_.emplace_back(icon);
    candidates_.push_back({kind, icon});
  }
  return true;
}

namespace {

struct Scores {
  Image shown;
  std::vector<std::pair<IconKind, double>> shares;  // candidate, share of differing pixels
};

Scores Score(HWND iconControl, const IconCandidates& candidates) {
  Scores scores;
  RECT client{};
  if (::GetClientRect(iconControl, &client) == FALSE) return scores;
  POINT origin{0, 0};
  ::ClientToScreen(iconControl, &origin);
  scores.shown = DrawToImage(client.right, client.bottom, [&](HDC target, HDC screen) {
    return ::BitBlt(target, 0, 0, client.right, client.bottom, screen, origin.x, origin.y,
                    SRCCOPY) != FALSE;
  });
  if (scores.shown.empty() || Uniform(scores.shown)) return scores;
  const std::uint32_t background = scores.shown.pixels.front();
  for (const IconCandidates::Candidate& c : candidates.candidates()) {
    const Image drawn = Render(c.icon, scores.shown.width, scores.shown.height, background);
    scores.shares.emplace_back(c.kind, MismatchShare(scores.shown, drawn));
  }
  return scores;
}

}  // namespace

IconKind ClassifyIcon(HWND iconControl, const IconCandidates& candidates) {
  if (iconControl == nullptr || ::IsWindowVisible(iconControl) == FALSE) return IconKind::kNone;
  const Scores scores = Score(iconControl, candidates);
  if (scores.shown.empty()) return IconKind::kUnknown;
  if (scores.shares.empty()) return IconKind::kNone;  // a uniform capture: nothing drawn
  IconKind best = IconKind::kUnknown;
  double bestShare = 1.0;
  double secondShare = 1.0;
  for (const auto& [kind, share] : scores.shares) {
    if (share < bestShare) {
      secondShare = bestShare;
      bestShare = share;
      best = kind;
    } else if (share < secondShare) {
      secondShare = share;
    }
  }
  if (bestShare > kMatchLimit || secondShare - bestShare < kLeadNeeded) return IconKind::kUnknown;
  return best;
}

std::string DescribeIconMatch(HWND iconControl, const IconCandidates& candidates) {
  if (iconControl == nullptr) return "no icon control";
  const Scores scores = Score(iconControl, candidates);
  if (scores.shown.empty()) return "the icon control cannot be captured";
  std::string report =
      std::to_string(scores.shown.width) + "x" + std::to_string(scores.shown.height) + " captured;";
  if (scores.shares.empty()) return report + " nothing drawn";
  for (const auto& [kind, share] : scores.shares) {
    report += " " + std::string(NameOf(kind)) + " " +
              std::to_string(static_cast<int>(share * 1000.0 + 0.5) / 10.0).substr(0, 5) + "%";
  }
  return report;
}

}  // namespace rovant::uidriver
