// The pieces of the driver that need no other process: key chords, command lines, the PNG encoder
// and the names of icons and buttons.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testbed/uidriver/png_writer.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct ChordCase {
  const char* text;
  WORD key;
  bool alt, control, shift;
};

class ChordTest : public ::testing::TestWithParam<ChordCase> {};

TEST_P(ChordTest, Parses) {
  const ChordCase& c = GetParam();
  const std::optional<KeyChord> chord = ParseChord(c.text);
  ASSERT_TRUE(chord.has_value()) << c.text;
  EXPECT_EQ(chord->key, c.key);
  EXPECT_EQ(chord->alt, c.alt);
  EXPECT_EQ(chord->control, c.control);
  EXPECT_EQ(chord->shift, c.shift);
}

INSTANTIATE_TEST_SUITE_P(Keys, ChordTest,
                         ::testing::Values(ChordCase{"Tab", VK_TAB, false, false, false},
                                           ChordCase{"Shift+Tab", VK_TAB, false, false, true},
                                           ChordCase{"Ctrl+Tab", VK_TAB, false, true, false},
                                           ChordCase{"Alt+R", 'R', true, false, false},
                                           ChordCase{"Alt+r", 'R', true, false, false},
                                           ChordCase{"Escape", VK_ESCAPE, false, false, false},
                                           ChordCase{"Enter", VK_RETURN, false, false, false},
                                           ChordCase{"Ctrl+Shift+F1", VK_F1, false, true, true}));

TEST(ChordTest, RefusesUnknownKeysAndModifiers) {
  for (const char* text : {"", "Tabs", "Meta+Tab", "Alt+", "+", "Alt+Shift", "é"}) {
    EXPECT_FALSE(ParseChord(text).has_value()) << text;
  }
}

// What the started program's CommandLineToArgvW makes of the composed line.
std::vector<std::wstring> Split(const std::wstring& line) {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> result(argv, argv + count);
  ::LocalFree(argv);
  return result;
}

TEST(CommandLineTest, EveryArgumentComesBackUnchanged) {
  const std::vector<std::wstring> arguments{L"plain",         L"two words",  L"",
                                            L"quote\"inside", L"trail\\",    L"trail space\\",
                                            L"C:\\a b\\c",    L"\\\\\"odd\""};
  const std::wstring program = L"Z:\\build dir\\rovant.exe";
  std::vector<std::wstring> expected{program};
  expected.insert(expected.end(), arguments.begin(), arguments.end());
  EXPECT_EQ(Split(ComposeCommandLine(program, arguments)), expected);
}

TEST(WindowsPathTest, HostPathsGoThroughDriveZ) {
  EXPECT_EQ(WindowsPath("/tmp/a/b.png"), L"Z:\\tmp\\a\\b.png");
  EXPECT_EQ(WindowsPath("C:\\x"), L"C:\\x");
  EXPECT_EQ(WindowsPath("rel/x"), L"rel\\x");
}

std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// A PNG reader just good enough for the encoder's own output: chunks with their CRCs, and the
// stored deflate blocks put together again.
struct Decoded {
  std::uint32_t width = 0, height = 0;
  std::vector<std::uint8_t> raw;
  std::vector<std::string> chunks;
  bool crcsMatch = true;
};

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t c = 0xFFFFFFFFU;
  for (std::size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
  }
  return c ^ 0xFFFFFFFFU;
}

Decoded Decode(const std::vector<std::uint8_t>& png) {
  Decoded d;
  std::vector<std::uint8_t> zlib;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    d.chunks.push_back(type);
    if (Crc(png.data() + at + 4, length + 4) != BigEndian(png, at + 8 + length)) {
      d.crcsMatch = false;
    }
    if (type == "IHDR") {
      d.width = BigEndian(png, at + 8);
      d.height = BigEndian(png, at + 12);
    }
    if (type == "IDAT")
      zlib.insert(zlib.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                  png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    at += 12 + length;
  }
  for (std::size_t at = 2; at + 5 <= zlib.size();) {
    const bool last = (zlib[at] & 1U) != 0;
    const std::size_t size = zlib[at + 1] | (std::size_t{zlib[at + 2]} << 8);
    d.raw.insert(d.raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(at + 5),
                 zlib.begin() + static_cast<std::ptrdiff_t>(at + 5 + size));
    at += 5 + size;
    if (last) break;
  }
  return d;
}

TEST(PngTest, AnImageLargerThanOneStoredBlockComesBack) {
  Image image;
  image.width = 300;
  image.height = 100;  // 100 rows of 901 bytes: two stored blocks
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      image.pixels.push_back(static_cast<std::uint32_t>((x * 7) << 16 | (y * 3) << 8 | (x ^ y)) &
                             0xFFFFFFU);
  const std::vector<std::uint8_t> png = EncodePng(image);
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  const Decoded d = Decode(png);
  EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_TRUE(d.crcsMatch);
  EXPECT_EQ(d.width, 300u);
  EXPECT_EQ(d.height, 100u);
  ASSERT_EQ(d.raw.size(), 100u * 901u);
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * 901;
    ASSERT_EQ(d.raw[row], 0) << "filter of row " << y;
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.at(x, y);
      const std::size_t at = row + 1 + 3 * static_cast<std::size_t>(x);
      ASSERT_EQ(d.raw[at], static_cast<std::uint8_t>(p >> 16));
      ASSERT_EQ(d.raw[at + 1], static_cast<std::uint8_t>(p >> 8));
      ASSERT_EQ(d.raw[at + 2], static_cast<std::uint8_t>(p));
    }
  }
}

TEST(PngTest, AnEmptyOrInconsistentImageGivesNothing) {
  EXPECT_TRUE(EncodePng(Image{}).empty());
  Image wrong;
  wrong.width = 2;
  wrong.height = 2;
  wrong.pixels = {1, 2, 3};
  EXPECT_TRUE(EncodePng(wrong).empty());
}

TEST(NamesTest, IconAndButtonNamesGoBothWays) {
  for (const IconKind kind :
       {IconKind::kNone, IconKind::kError, IconKind::kWarning, IconKind::kInformation,
        IconKind::kQuestion, IconKind::kPrinterError, IconKind::kPrinterInformation,
        IconKind::kPrinterWarning, IconKind::kApplication, IconKind::kUnknown}) {
    EXPECT_EQ(IconKindNamed(NameOf(kind)), kind) << NameOf(kind);
  }
  EXPECT_EQ(IconKindNamed("stop"), IconKind::kUnknown);
  for (int id = IDOK; id <= IDNO; ++id) EXPECT_EQ(ButtonNamed(ButtonName(id)), id);
  EXPECT_EQ(ButtonNamed("Help"), 0);
  EXPECT_EQ(ButtonName(42), "42");
}

}  // namespace
}  // namespace rovant::uidriver
