// The help viewer on the HTML Help control, bound on first use: the library
// the registry names for the control (only from the system folder or the
// program's folder), else "hhctrl.ocx" from the system folder. When neither
// can be had, every help call does nothing for the rest of the run.
#pragma once

#include <windows.h>
// After windows.h:
#include <htmlhelp.h>

#include "platform/win32/unique_handle.hpp"
#include "ui/command_surroundings.hpp"

namespace rovant::ui {

inline constexpr const char* kHtmlHelpServerKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
inline constexpr const char* kHtmlHelpLibrary = "hhctrl.ocx";
inline constexpr WORD kHtmlHelpOrdinal = 14;
inline constexpr UINT kHelpDisplayTopic = 0;
inline constexpr UINT kHelpCloseAll = 18;

class HtmlHelpViewer final : public HelpViewer {
 public:
  WindowRef ShowTopic(WindowRef owner, std::string_view path) override;
  void CloseAll() override;

  // The control could not be bound; help does nothing from now on.
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  using HtmlHelpFunction = decltype(&::HtmlHelpA);
  HtmlHelpFunction Bind();

  win32::UniqueModule library_;
  HtmlHelpFunction htmlHelp_ = nullptr;
  bool failed_ = false;
};

// Whether `path` is an absolute path to a file directly inside `folder`
// (compared without regard to case, with or without a trailing separator).
bool IsFileInFolder(std::string_view path, std::string_view folder);

}  // namespace rovant::ui
