// The road to a simulated printer: every link call goes straight to it, and a
// receive takes as long as the printer's slow-answer fault says, through the
// clock. Either route reaches it; opening always succeeds.
#pragma once

#include "platform/clock.hpp"
#include "platform/printer_link.hpp"
#include "sim/simulated_printer.hpp"

namespace rovant::sim {

class SimulatorLink final : public PrinterLink {
 public:
  SimulatorLink(SimulatedPrinter& printer, Clock& clock) : printer_(printer), clock_(clock) {}

  LinkOpening Open(LinkRoute /*route*/) override { return {}; }
  bool Send(std::string_view bytes) override { return printer_.Accept(bytes); }
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  void Close() override { printer_.EndSession(); }
  // The simulated printer says what goes wrong in its replies, not here.
  [[nodiscard]] std::string LastError() const override { return {}; }

 private:
  SimulatedPrinter& printer_;
  Clock& clock_;
};

}  // namespace rovant::sim
