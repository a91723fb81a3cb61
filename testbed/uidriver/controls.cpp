#include "testbed/uidriver/controls.hpp"

#include "testbed/uidriver/remote_block.hpp"

namespace rovant::uidriver {
namespace {

constexpr LRESULT kMaxItemLength = 1024;

}  // namespace

bool ClickButton(HWND button) {
  if (::IsWindow(button) == FALSE || !IsEnabled(button) || !IsVisible(button)) return false;
  return ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool PressCommand(HWND dialog, int id) {
  if (::IsWindow(dialog) == FALSE) return false;
  HWND button = ::GetDlgItem(dialog, id);
  return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool CloseWindow(HWND window) { return ::PostMessageW(window, WM_CLOSE, 0, 0) != FALSE; }

int ComboCount(HWND combo) {
  return static_cast<int>(SendBounded(combo, CB_GETCOUNT, 0, 0, CB_ERR));
}

int ComboSelection(HWND combo) {
  return static_cast<int>(SendBounded(combo, CB_GETCURSEL, 0, 0, CB_ERR));
}

std::optional<std::wstring> ComboItem(HWND combo, int index) {
  const LRESULT length = SendBounded(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, CB_ERR);
  if (length < 0 || length > kMaxItemLength) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendBounded(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()), CB_ERR);
  if (copied < 0 || copied > length) return std::nullopt;
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const int count = ComboCount(combo);
  for (int i = 0; i < count; ++i) items.push_back(ComboItem(combo, i).value_or(L""));
  return items;
}

std::optional<std::wstring> ComboText(HWND combo) {
  const int selected = ComboSelection(combo);
  if (selected < 0) return std::nullopt;
  return ComboItem(combo, selected);
}

bool SelectComboItem(HWND combo, const std::wstring& text) {
  const int count = ComboCount(combo);
  for (int i = 0; i < count; ++i) {
    if (ComboItem(combo, i) != text) continue;
    if (SendBounded(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0, CB_ERR) != i) return false;
    HWND owner = ::GetParent(combo);
    const auto id = static_cast<WORD>(::GetDlgCtrlID(combo));
    return ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(combo)) != FALSE;
  }
  return false;
}

bool SetText(HWND window, const std::wstring& text) {
  return SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), FALSE) != FALSE;
}

bool IsEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }
bool IsVisible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || ::GetGUIThreadInfo(thread, &info) == FALSE) return nullptr;
  return info.hwndFocus;
}

}  // namespace rovant::uidriver
