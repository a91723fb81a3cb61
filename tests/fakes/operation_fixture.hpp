// Everything a printer operation talks to, recorded in one call log.
#pragma once

#include <gtest/gtest.h>

#include "model/catalogue.hpp"
#include "protocol/printer_operation.hpp"
#include "protocol/show_message.hpp"
#include "tests/fakes/fake_printer.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "texts/messages.hpp"

namespace rovant::testing {

inline constexpr WindowRef kOwner = 0x1234;

// A call log written as one text, the calls separated by '|'.
inline Calls SplitCalls(std::string_view text) {
  Calls calls;
  while (!text.empty()) {
    const std::size_t bar = std::min(text.find('|'), text.size());
    calls.emplace_back(text.substr(0, bar));
    text.remove_prefix(std::min(bar + 1, text.size()));
  }
  return calls;
}

class OperationTest : public ::testing::Test {
 public:
  // The log line of a box the operation shows with one of the program's icons.
  static std::string Box(unsigned icon, std::string_view text, int code = 0) {
    return "box " + std::to_string(msg::kUserIconOk) + "/" + std::to_string(icon) + ": " +
           ComposeMessageText(text, code);
  }

 protected:
  OperationTest() { state.settings = kFactoryDefaults; }

  // The port, the link's opening and the printer's answers to the sends in order ('+' taken,
  // '-' refused; the sends after them are taken).
  void Arrange(int portState, bool mailboxOpens, std::string_view lanFailure,
               std::string_view sends) {
    state.selectedPrinter.portState = portState;
    link.mailboxOpens = mailboxOpens;
    link.lanFailure = lanFailure;
    for (const char answer : sends) link.sendResults.push_back(answer == '+');
  }

  CallLog log;
  AppState state;
  FakePrinterLink link{log};
  FakeClock clock{log};
  FakeOperationHost host{log};
  FakeCursor cursor{log};
  FakeMessageBoxes boxes{log};
  FakePageStore pages{log, state.settings};
  PrinterOperationContext context{state, link, clock, host, cursor, boxes, pages};
};

}  // namespace rovant::testing
