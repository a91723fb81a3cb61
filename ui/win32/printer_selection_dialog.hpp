// The printer selection dialog (IDD_PRINTER_SELECTION): the spooler's printers in a
// report list with an icon each, OK (or a double click) to choose, Cancel to
// give up. It has no close box and the Escape key does nothing, so it is left
// only through OK or Cancel.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/win32/unique_handle.hpp"
#include "platform/win32/window_base.hpp"
#include "ui/printer_selection.hpp"
#include "ui/startup_selection.hpp"

namespace rovant::ui {

class PrinterSelectionDialog final : public win32::WindowBase {
 public:
  // `instance`: the module with the template and the icons.
  PrinterSelectionDialog(HINSTANCE instance, PrinterSelection& selection)
      : instance_(instance), selection_(selection) {}
  PrinterSelectionDialog(const PrinterSelectionDialog&) = delete;
  PrinterSelectionDialog& operator=(const PrinterSelectionDialog&) = delete;

  // Runs the dialog modal to `owner`: kChosen, kCancelled, kNoSupportedPrinter
  // (closed at once, never shown), or kNotShown when it cannot be created.
  SelectionResult RunModal(HWND owner);

  // Creates the same dialog without a modal loop of its own; the caller
  // destroys the window. The result is then read from result().
  HWND CreateModeless(HWND owner);

  [[nodiscard]] std::optional<SelectionResult> result() const { return result_; }
  [[nodiscard]] std::optional<std::size_t> chosenRow() const { return chosenRow_; }

 private:
  Answer OnInit(WPARAM wParam, LPARAM lParam) override;
  Answer OnNotify(const NMHDR* header) override;
  Answer OnCommand(WPARAM wParam, LPARAM lParam) override;
  Answer OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Initialise();
  // Empties the list and fills it anew; closes with kNoSupportedPrinter when
  // no printer has a supported driver.
  void BuildList();
  void ClearList();
  void AddColumn(int index, std::string_view heading);
  void AddRow(int row, const PrinterEntry& entry, unsigned icon);
  void WidenColumn(int column, std::string_view text);
  void Ok();
  void Close(SelectionResult result);
  [[nodiscard]] HWND List() const;

  HINSTANCE instance_;
  PrinterSelection& selection_;
  win32::UniqueImageList images_;
  std::optional<SelectionResult> result_;
  std::optional<std::size_t> chosenRow_;
};

// The start-up loop's dialog on Windows.
class Win32SelectionDialogRunner final : public SelectionDialogRunner {
 public:
  Win32SelectionDialogRunner(HINSTANCE instance, HWND owner, PrinterSelection& selection)
      : instance_(instance), owner_(owner), selection_(selection) {}
  Outcome Run() override;

 private:
  HINSTANCE instance_;
  HWND owner_;
  PrinterSelection& selection_;
};

}  // namespace rovant::ui
