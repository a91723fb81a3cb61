// The windows' surroundings for tests: printers made the way the spooler describes them, the
// printer selection's fakes, and what the main window's commands call, recorded with scripted
// results.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/app_state.hpp"
#include "tests/fakes/call_log.hpp"
#include "tests/fakes/fake_spooler.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "texts/messages.hpp"
#include "ui/command_surroundings.hpp"
#include "ui/port_state.hpp"
#include "ui/selection_context.hpp"

namespace rovant::testing {

// The next scripted answer, or `whenNone` when none is left.
template <typename T>
T Next(std::deque<T>& answers, T whenNone) {
  if (answers.empty()) return whenNone;
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

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

// The log line of a printer operation: its mode and the window that owns its boxes.
template <typename Mode>
std::string Op(std::string_view what, Mode mode, WindowRef owner) {
  return std::string(what) + " " + std::to_string(static_cast<int>(mode)) + " @" +
         std::to_string(owner);
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

class FakeCommandOperations final : public ui::CommandOperations,
                                    public ui::HelpViewer,
                                    public ui::CurrentDirectory,
                                    Recorder {
 public:
  using Recorder::Recorder;

  int CheckPrinterReady() override { return Logged("ready check", ready); }
  ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) override {
    return static_cast<ReadResult>(Logged(Op("read", mode, owner), Next(readResults, 1)));
  }
  WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) override {
    return static_cast<WriteResult>(Logged(Op("write", mode, owner), Next(writeResults, 1)));
  }
  bool OpenSettingFile() override { return Logged("open setting file", true); }
  bool SaveSettingFile() override { return Logged("save setting file", true); }
  bool StoreWorkingCopy() override { return Logged("store working copy", stores); }
  WindowRef ShowTopic(WindowRef owner, std::string_view path) override {
    return Logged("help show @" + std::to_string(owner) + " " + std::string(path), WindowRef{0});
  }
  void CloseAll() override { log_.Add("help close all"); }
  bool Set(std::string_view path) override { return Logged("cd " + std::string(path), true); }

  int ready = 0;  // the readiness check's answer
  // The results' values in order (1 done, 0 failed, -1 another model or refused).
  std::deque<int> readResults;
  std::deque<int> writeResults;
  bool stores = true;  // the working copy is stored
};

}  // namespace rovant::testing
