#include "discovery/discovered.hpp"

#include <algorithm>

#include "discovery/address_range.hpp"
#include "discovery/identify.hpp"

namespace rovant::discovery {

namespace {

// A description as an agent sent it may hold any bytes: what is not printable
// ASCII is shown as '?', so that a terminal and a JSON reader get text.
std::string Printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return shown;
}

}  // namespace

std::string PrinterForm(const std::string& address) { return "tcp://" + address; }

std::vector<FoundPrinter> PrintersAmong(const std::vector<AgentReply>& replies) {
  std::vector<const AgentReply*> sorted;
  for (const AgentReply& r : replies) sorted.push_back(&r);
  std::sort(sorted.begin(), sorted.end(),
            [](const AgentReply* a, const AgentReply* b) { return a->address < b->address; });
  std::vector<FoundPrinter> found;
  for (const AgentReply* r : sorted) {
    if (!r->answered) continue;
    const std::optional<ModelCode> model = IdentifyPrinter(r->sysDescr, r->deviceDescr);
    if (!model) continue;
    FoundPrinter printer;
    printer.address = FormatAddress(r->address);
    printer.model = *model;
    printer.description = Printable(ModelNamedIn(r->deviceDescr) ? r->deviceDescr : r->sysDescr);
    printer.printer = PrinterForm(printer.address);
    found.push_back(std::move(printer));
  }
  return found;
}

nlohmann::json PrinterJson(const FoundPrinter& printer, bool confirmed) {
  nlohmann::json json = {{"address", printer.address},
                         {"model", std::string(NameOf(printer.model))},
                         {"description", printer.description},
                         {"printer", printer.printer}};
  if (confirmed) {
    json["confirm"] = printer.confirm;
    json["firmware"] =
        printer.firmware.empty() ? nlohmann::json(nullptr) : nlohmann::json(printer.firmware);
    if (!printer.reason.empty()) json["reason"] = printer.reason;
  }
  return json;
}

}  // namespace rovant::discovery
