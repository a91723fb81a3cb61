// What a discovery found at one address, and how it is shown.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "model/model_code.hpp"

namespace rovant::discovery {

// What one address said to the two questions.
struct AgentReply {
  std::uint32_t address = 0;
  bool answered = false;  // an SNMP reply came within the time-out
  std::string sysDescr;
  std::string deviceDescr;
  std::string error;  // why there is no reply, when the agent refused the request
};

struct FoundPrinter {
  std::string address;  // dotted
  ModelCode model = ModelCode::kHx320;
  std::string description;  // the device description, or the system's when there is none
  std::string printer;      // the --printer form: tcp://ADDRESS
  // --confirm: what the model-checked read said.
  std::string confirm;   // "", "confirmed", "other-model" or "failed"
  std::string reason;    // why the read did not confirm
  std::string firmware;  // the firmware version the read reported ("" when it reports none)
};

// Our printers among the replies, in address order; the others are left out.
std::vector<FoundPrinter> PrintersAmong(const std::vector<AgentReply>& replies);

// One JSON object per printer: address, model, description, printer, and with
// --confirm the read's result, its reason and the firmware version (null when none).
nlohmann::json PrinterJson(const FoundPrinter& printer, bool confirmed);

// The printer's --printer form for raw TCP on port 9100.
std::string PrinterForm(const std::string& address);

}  // namespace rovant::discovery
