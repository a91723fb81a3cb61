// Which icon a window shows, decided by its pixels. Icons are objects of the process that
// loaded them (under Wine as on Windows), so another process cannot ask for the handle; instead
// the driver captures the icon control from the screen and compares it with each candidate icon
// drawn by the driver itself, over the same background and at the same size.
//
// Reliability: the system icons (LoadIcon(NULL, IDI_*)) come from the same user32 resources in
// both processes and match pixel for pixel; so do the program's own icons loaded from its
// executable. A capture can still fail when the window is covered, off screen or not yet painted,
// or when there is no real display (Wine's null graphics driver draws nothing): then no candidate
// matches closely (at most 2% of the pixels differ) with a clear lead (5% more) over the next,
// and the answer is kUnknown, never a guess. Measured under Wine 8 on Xvfb: the true icon differs
// in 0% of the pixels, the closest other one (information against question) in about 7%.
// DescribeIconMatch gives the figures for a report.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handle.hpp"

namespace rovant::uidriver {

enum class IconKind {
  kNone,         // no icon shown
  kError,        // IDI_HAND (stop)
  kWarning,      // IDI_EXCLAMATION
  kInformation,  // IDI_ASTERISK
  kQuestion,     // IDI_QUESTION
  // The program's own icons, when its executable is given to IconCandidates::AddFromModule.
  kPrinterError,        // IDI_PRINTER_ERROR
  kPrinterInformation,  // IDI_PRINTER_INFORMATION
  kPrinterWarning,      // IDI_PRINTER_WARNING
  kApplication,         // IDI_PRINTER
  kUnknown,             // something is shown, but it matches no candidate well enough
};

std::string_view NameOf(IconKind kind);
// The kind named by NameOf; kUnknown for any other text.
IconKind IconKindNamed(std::string_view name);

// The icons a capture is compared with: always the four system icons, and the program's own.
class IconCandidates {
 public:
  IconCandidates();
  // Adds the program's four icons above from its executable; false if it cannot be
  // loaded as a data file.
  bool AddFromModule(const std::wstring& path);

  struct Candidate {
    IconKind kind;
    HICON icon;  // owned by `owned_` or shared (system icons)
  };
  [[nodiscard]] const std::vector<Candidate>& candidates() const { return candidates_; }

 private:
  std::vector<Candidate> candidates_;
  std::vector<win32::UniqueIcon> owned_;
};

// The icon shown by `iconControl` (a static control with SS_ICON, e.g. a message box's),
// kNone if it is absent or hidden.
IconKind ClassifyIcon(HWND iconControl, const IconCandidates& candidates);
// How the capture compares with each candidate (share of differing pixels), for reports.
std::string DescribeIconMatch(HWND iconControl, const IconCandidates& candidates);

}  // namespace rovant::uidriver
