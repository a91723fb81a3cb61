// Printer selection's surroundings for tests: a fake spooler, recorded message
// boxes, and printers made the way the spooler describes them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/app_state.hpp"
#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_spooler.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "texts/messages.hpp"
#include "ui/port_state.hpp"
#include "ui/selection_context.hpp"

namespace rovant::testing {

inline constexpr WindowRef kMainWindow = 0x4711;
inline constexpr std::uint32_t kBidi = ui::kAttributeEnableBidi;

// A printer on a local port that is ready, unless the test says otherwise.
inline SpoolerPrinter Printer(std::string name,
                              std::string port = "LPT1:", std::string driver = "Vek HX320",
                              std::uint32_t attributes = kBidi, std::uint32_t status = 0,
                              std::string separator = "", std::uint32_t jobs = 0) {
  return {std::move(name), u"",    std::move(port),      std::move(driver),
          attributes,      status, std::move(separator), jobs};
}

// The log line of a box with one of the program's icons.
inline std::string Box(unsigned icon, std::string_view text, unsigned style = msg::kUserIconOk) {
  return "box " + std::to_string(style) + "/" + std::to_string(icon) + ": " + std::string(text);
}

class SelectionTest : public ::testing::Test {
 protected:
  CallLog log;
  AppState state;
  FakeSpooler spooler{log};
  FakeMessageBoxes boxes{log};
  ui::SelectionContext context{state, spooler, boxes, kMainWindow};
};

}  // namespace rovant::testing
