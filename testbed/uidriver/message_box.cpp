#include "testbed/uidriver/message_box.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "testbed/uidriver/windows.hpp"

namespace rovant::uidriver {
namespace {

constexpr std::array<std::pair<int, const char*>, 7> kButtonNames{{
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
    {IDABORT, "Abort"},
    {IDRETRY, "Retry"},
    {IDIGNORE, "Ignore"},
    {IDYES, "Yes"},
    {IDNO, "No"},
}};

}  // namespace

bool IsMessageBox(HWND window) {
  if (ClassOf(window) != L"#32770") return false;
  HWND text = ::GetDlgItem(window, kMessageBoxTextId);
  return text != nullptr && ClassOf(text) == L"Static";
}

std::vector<HWND> FindMessageBoxes(DWORD processId) {
  WindowQuery query;
  query.processId = processId;
  query.className = L"#32770";
  std::vector<HWND> boxes = FindTopWindows(query);
  std::erase_if(boxes, [](HWND w) { return !IsMessageBox(w); });
  return boxes;
}

HWND WaitMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> boxes = FindMessageBoxes(processId);
        if (!boxes.empty()) found = boxes.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

MessageBoxContent ReadMessageBox(HWND box, const IconCandidates& icons) {
  MessageBoxContent content;
  content.window = box;
  content.caption = TextOf(box);
  content.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
  for (const auto& [id, name] : kButtonNames) {
    HWND button = ::GetDlgItem(box, id);
    if (button != nullptr && ::IsWindowVisible(button) != FALSE) content.buttons.push_back(id);
  }
  std::ranges::sort(content.buttons);
  content.icon = ClassifyIcon(::GetDlgItem(box, kMessageBoxIconId), icons);
  return content;
}

std::string ButtonName(int id) {
  for (const auto& [i, name] : kButtonNames)
    if (i == id) return name;
  return std::to_string(id);
}

int ButtonNamed(const std::string& name) {
  for (const auto& [id, n] : kButtonNames)
    if (name == n) return id;
  return 0;
}

}  // namespace rovant::uidriver
