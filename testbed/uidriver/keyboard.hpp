// Typing into another process's window.
//
// TypeChords uses SendInput, as a user's keyboard would, after BringToForeground: the keys go to
// the foreground window's focus. Under Wine this needs a real X display (Xvfb will do).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace rovant::uidriver {

struct KeyChord {
  WORD key = 0;  // a virtual key, e.g. VK_TAB, VK_ESCAPE, 'R'
  bool alt = false;
  bool control = false;
  bool shift = false;
};

// Parses "Tab", "Shift+Tab", "Ctrl+Tab", "Alt+R", "Escape", "Enter", "F1", "Space", "Up", "Down",
// "Left", "Right" or one letter/digit; nothing for other texts.
std::optional<KeyChord> ParseChord(const std::string& text);

// Brings `window` to the foreground (bounded wait until it is); whether it is.
bool BringToForeground(HWND window);
// Presses and releases each chord in turn; false if the system refused any input.
bool TypeChords(const std::vector<KeyChord>& chords);

}  // namespace rovant::uidriver
