#include "testbed/uidriver/keyboard.hpp"

#include <array>
#include <cctype>
#include <utility>

#include "testbed/uidriver/windows.hpp"

namespace rovant::uidriver {
namespace {

constexpr DWORD kForegroundWaitMs = 3000;
constexpr DWORD kPauseBetweenChordsMs = 30;

constexpr std::array<std::pair<const char*, WORD>, 12> kNamedKeys{{
    {"Tab", VK_TAB},
    {"Escape", VK_ESCAPE},
    {"Esc", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"Space", VK_SPACE},
    {"F1", VK_F1},
    {"Up", VK_UP},
    {"Down", VK_DOWN},
    {"Left", VK_LEFT},
    {"Right", VK_RIGHT},
    {"Home", VK_HOME},
    {"End", VK_END},
}};

INPUT Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

std::optional<KeyChord> ParseChord(const std::string& text) {
  KeyChord chord;
  std::string rest = text;
  for (;;) {
    const std::size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    const std::string modifier = rest.substr(0, plus);
    if (modifier == "Alt") {
      chord.alt = true;
    } else if (modifier == "Ctrl") {
      chord.control = true;
    } else if (modifier == "Shift") {
      chord.shift = true;
    } else {
      return std::nullopt;
    }
    rest = rest.substr(plus + 1);
  }
  for (const auto& [name, key] : kNamedKeys) {
    if (rest == name) {
      chord.key = key;
      return chord;
    }
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0])) != 0) {
    chord.key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
    return chord;
  }
  return std::nullopt;
}

bool BringToForeground(HWND window) {
  HWND top = ::GetAncestor(window, GA_ROOT);
  if (top == nullptr) return false;
  return WaitUntil(
      [top] {
        if (::GetForegroundWindow() == top) return true;
        ::SetForegroundWindow(top);
        return ::GetForegroundWindow() == top;
      },
      kForegroundWaitMs);
}

bool TypeChords(const std::vector<KeyChord>& chords) {
  for (const KeyChord& chord : chords) {
    std::vector<INPUT> inputs;
    if (chord.control) inputs.push_back(Key(VK_CONTROL, false));
    if (chord.alt) inputs.push_back(Key(VK_MENU, false));
    if (chord.shift) inputs.push_back(Key(VK_SHIFT, false));
    inputs.push_back(Key(chord.key, false));
    inputs.push_back(Key(chord.key, true));
    if (chord.shift) inputs.push_back(Key(VK_SHIFT, true));
    if (chord.alt) inputs.push_back(Key(VK_MENU, true));
    if (chord.control) inputs.push_back(Key(VK_CONTROL, true));
    const UINT count = static_cast<UINT>(inputs.size());
    if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) return false;
    ::Sleep(kPauseBetweenChordsMs);
  }
  return true;
}

}  // namespace rovant::uidriver
