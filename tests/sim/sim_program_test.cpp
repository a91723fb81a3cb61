// The simulator program's work: sends split from a byte stream, names on the
// command line, and whole runs with state, paper and exit codes.
#include "sim/sim_program.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "sim/session_input.hpp"
#include "tests/fakes/fake_file_system.hpp"
#include "tests/sim/sim_test_support.hpp"

namespace rovant::sim {
namespace {

using rovant::testing::CallLog;
using rovant::testing::FakeFileSystem;
using namespace std::string_literals;

const std::string kOnline(wire::kOnlineSequence);

TEST(SimSplitSends, OnlineSequencesStandAlone) {
  EXPECT_EQ(SplitSends(""), std::vector<std::string_view>{});
  EXPECT_EQ(SplitSends("abc"), std::vector<std::string_view>{"abc"});
  EXPECT_EQ(SplitSends(kOnline), std::vector<std::string_view>{kOnline});
  const std::string input = "x" + kOnline + "?VER    \rEXIT   \r" + kOnline + kOnline + "SAVE   \r";
  EXPECT_EQ(SplitSends(input), (std::vector<std::string_view>{"x", kOnline, "?VER    \rEXIT   \r",
                                                              kOnline, kOnline, "SAVE   \r"}));
}

TEST(SimNames, ModelsAndItems) {
  EXPECT_EQ(ParseModelName("HX310"), ModelCode::kHx310);
  EXPECT_EQ(ParseModelName("hx320"), ModelCode::kHx320);
  EXPECT_EQ(ParseModelName("other"), std::nullopt);
  EXPECT_EQ(ParseModelName("HX3200"), std::nullopt);
  EXPECT_EQ(ParseItemName("MENU1.PITCH"), ItemIndex{3});
  EXPECT_EQ(ParseItemName("menu2.zerofnt"), ItemIndex{42});
  EXPECT_EQ(ParseItemName("HARDWRE.INTRFCE"), ItemIndex{51});
  EXPECT_EQ(ParseItemName("MENU1PITCH"), std::nullopt);
  EXPECT_EQ(ParseItemName("MENU1.BUZZER"), std::nullopt);
  EXPECT_EQ(ParseItemName("MENU9.PITCH"), std::nullopt);
}

class SimProgram : public ::testing::Test {
 protected:
  int Run(const std::string& input) {
    std::istringstream in(input);
    out.str("");
    paper.str("");
    err.str("");
    return RunSimProgram(options, fs, in, out, paper, err);
  }

  CallLog log;
  FakeFileSystem fs{log};
  SimOptions options;
  std::ostringstream out;
  std::ostringstream paper;
  std::ostringstream err;
};

TEST_F(SimProgram, DamagedStateFileFails) {
  options.statePath = "printer.state";
  fs.files["printer.state"] = {1, 2, 3};
  EXPECT_EQ(Run(kOnline + "?VER    \r"), kSimFailed);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("printer.state: 3 bytes"), std::string::npos) << err.str();
  EXPECT_EQ(fs.files["printer.state"], (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(SimProgram, SwitchedOffFails) {
  options.faults.switchedOff = true;
  options.statePath = "printer.state";
  EXPECT_EQ(Run(kOnline + "?VER    \r"), kSimFailed);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("switched off"), std::string::npos);
  EXPECT_FALSE(fs.files.contains("printer.state"));
}

TEST_F(SimProgram, RefusedSendFailsButTheRestIsAnswered) {
  options.faults.refuseSend = 1;
  EXPECT_EQ(Run(kOnline + "?VER    \r" + kOnline + "?VER    \r"), kSimFailed);
  EXPECT_EQ(out.str(), "?VER    :1.02   \r\n");
  EXPECT_NE(err.str().find("1 send(s) refused"), std::string::npos) << err.str();
}

TEST_F(SimProgram, FailedStateSaveFails) {
  options.statePath = "printer.state";
  fs.diskFull = true;
  EXPECT_EQ(Run(kOnline + std::string(wire::kSaveExit)), kSimFailed);
  EXPECT_NE(err.str().find("printer.state"), std::string::npos);
}

TEST_F(SimProgram, OverlongInputFails) {
  EXPECT_EQ(Run(std::string(kInputLimit + 1, 'x')), kSimFailed);
  EXPECT_NE(err.str().find("longer than"), std::string::npos);
}

}  // namespace
}  // namespace rovant::sim
