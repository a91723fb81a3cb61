// What the printer selection dialog does, apart from its window: building the
// list's table from the spooler and accepting the user's choice.
#pragma once

#include <cstddef>
#include <optional>

#include "ui/printer_table.hpp"
#include "ui/selection_context.hpp"

namespace rovant::ui {

// The dialog's results.
enum class SelectionResult : int {
  kNotShown = -1,  // the dialog could not be created
  kChosen = 1,     // the selected printer is set and freshly refreshed
  kCancelled = 2,
  kNoSupportedPrinter = 3,
};

class PrinterSelection {
 public:
  explicit PrinterSelection(SelectionContext& context) : context_(context) {}

  // Replaces the table with the spooler's printers as they are now.
  const PrinterTable& Rebuild();
  const PrinterTable& table() const { return table_; }

  // OK (or a double click) with the list's focused row. With no row (or one
  // outside the table) the user is told to select one and false returns: the
  // dialog stays. Otherwise the row's printer becomes the selected printer,
  // is brought up to date, and true returns: the dialog closes with kChosen.
  bool Choose(std::optional<std::size_t> focusedRow);

 private:
  SelectionContext& context_;
  PrinterTable table_;
};

}  // namespace rovant::ui
