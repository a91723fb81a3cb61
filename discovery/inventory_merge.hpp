// Adding found printers to an inventory that fleet reads, keeping what is
// there: a printer already listed (by its --printer form) keeps its entry and
// name; new ones get a name made of their model and address.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.hpp"
#include "discovery/discovered.hpp"

namespace rovant::discovery {

struct MergeResult {
  std::string text;                // the new inventory
  std::vector<std::string> added;  // names of the entries added
  std::vector<std::string> kept;   // names of found printers already listed
};

// `existing`: the inventory's text, or nothing when there is no file yet.
// The reason, when the existing inventory cannot be read (as
// fleet would refuse it) — then the file must be left as it is.
Expected<MergeResult> MergeIntoInventory(const std::optional<std::string>& existing,
                                         const std::vector<FoundPrinter>& found);

// The name for a printer found at `address`: "hx320-10-20-1-11".
std::string NameFor(const FoundPrinter& printer);

}  // namespace rovant::discovery
