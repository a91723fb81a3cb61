#include "ui/win32/html_help_viewer.hpp"

#include <array>
#include <cctype>
#include <string>

#include "platform/win32/proc_address.hpp"
#include "platform/win32/system.hpp"

namespace rovant::ui {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// The library the registry names for the HTML Help control, or empty.
std::string RegisteredLibrary() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return {};
  }
  const win32::UniqueKey key(opened);
  std::array<char, MAX_PATH> value{};
  DWORD size = MAX_PATH;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS) {
    return {};
  }
  value.back() = '\0';
  if (type == REG_SZ) return std::string(value.data());
  if (type != REG_EXPAND_SZ) return {};
  std::array<char, MAX_PATH> expanded{};
  const DWORD length = ::ExpandEnvironmentStringsA(value.data(), expanded.data(), MAX_PATH);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(expanded.data());
}

// The registered library, if it lies where only the system or we put files.
win32::UniqueModule LoadRegisteredLibrary() {
  const std::string path = RegisteredLibrary();
  if (path.empty()) return {};
  if (!IsFileInFolder(path, win32::SystemFolder()) &&
      !IsFileInFolder(path, win32::ProgramFolder())) {
    return {};
  }
  return win32::UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, 0));
}

}  // namespace

bool IsFileInFolder(std::string_view path, std::string_view folder) {
  while (!folder.empty() && IsSeparator(folder.back())) folder.remove_suffix(1);
  // An absolute path: a drive letter and a separator, and the folder is one too.
  if (folder.size() < 2 || folder[1] != ':') return false;
  if (path.size() <= folder.size() + 1) return false;
  if (!SameLetters(path.substr(0, folder.size()), folder)) return false;
  if (!IsSeparator(path[folder.size()])) return false;
  const std::string_view name = path.substr(folder.size() + 1);
  return name.find_first_of("\\/:") == std::string_view::npos && name != "." && name != "..";
}

HtmlHelpViewer::HtmlHelpFunction HtmlHelpViewer::Bind() {
  if (htmlHelp_ != nullptr || failed_) return htmlHelp_;
  library_ = LoadRegisteredLibrary();
  if (!library_) library_ = win32::LoadSystemLibrary(kHtmlHelpLibrary);
  htmlHelp_ =
      win32::ProcAddress<decltype(::HtmlHelpA)>(library_.get(), MAKEINTRESOURCEA(kHtmlHelpOrdinal));
  if (htmlHelp_ == nullptr) {
    library_.reset();
    failed_ = true;
  }
  return htmlHelp_;
}

WindowRef HtmlHelpViewer::ShowTopic(WindowRef owner, std::string_view path) {
  const HtmlHelpFunction htmlHelp = Bind();
  if (htmlHelp == nullptr) return 0;
  const std::string file(path);
  return reinterpret_cast<WindowRef>(
      htmlHelp(reinterpret_cast<HWND>(owner), file.c_str(), kHelpDisplayTopic, 0));
}

void HtmlHelpViewer::CloseAll() {
  // Help windows exist only once the control is bound: no need to load it just for this.
  if (htmlHelp_ != nullptr) htmlHelp_(nullptr, nullptr, kHelpCloseAll, 0);
}

}  // namespace rovant::ui
