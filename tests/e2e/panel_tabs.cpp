#include "tests/e2e/panel_tabs.hpp"

#include <commctrl.h>

namespace rovant::e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 2000;

}  // namespace

int SelectedTab(HWND tabs) {
  DWORD_PTR selected = 0;
  if (::SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                            &selected) == 0) {
    return -1;
  }
  return static_cast<int>(static_cast<LRESULT>(selected));
}

bool FocusTab(HWND tabs, int index) {
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0,
                               SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored) != 0;
}

}  // namespace rovant::e2e
