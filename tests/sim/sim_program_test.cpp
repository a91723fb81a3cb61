// The simulator program's work: sends split from a byte stream, names on the command line, and the
// runs that fail with their reason (printer_sim_program_test.cmake runs the ones that work).
#include "sim/sim_program.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "sim/session_input.hpp"
#include "tests/fakes/fake_file_system.hpp"

namespace rovant::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kOnline(wire::kOnlineSequence);

TEST(SimSplitSends, OnlineSequencesStandAlone) {
  EXPECT_EQ(SplitSends(""), std::vector<std::string_view>{});
  EXPECT_EQ(SplitSends("abc"), std::vector<std::string_view>{"abc"});
  const std::string input = "x" + kOnline + "?VER    \rEXIT   \r" + kOnline + kOnline + "SAVE   \r";
  EXPECT_EQ(SplitSends(input), (std::vector<std::string_view>{"x", kOnline, "?VER    \rEXIT   \r",
                                                              kOnline, kOnline, "SAVE   \r"}));
}

TEST(SimNames, ModelsAndItems) {
  EXPECT_EQ(ParseModelName("HX310"), ModelCode::kHx310);
  EXPECT_EQ(ParseModelName("hx320"), ModelCode::kHx320);
  EXPECT_EQ(ParseModelName("other"), std::nullopt);
  EXPECT_EQ(ParseModelName("HX3200"), std::nullopt);
  // The names themselves are found as item_names_test has it.
  EXPECT_EQ(ParseItemName("menu2.zerofnt"), ItemIndex{42});
  EXPECT_EQ(ParseItemName("MENU1PITCH"), std::nullopt);
  EXPECT_EQ(ParseItemName("MENU1.BUZZER"), std::nullopt);
}

using rovant::testing::FakeFileSystem;

Bytes DefaultsWith(std::size_t at, std::uint8_t value, std::size_t size = kItemCount) {
  Bytes bytes(kFactoryDefaults.begin(), kFactoryDefaults.end());
  bytes.resize(size, 0);
  if (at < size) bytes[at] = value;
  return bytes;
}

const std::string kAsk = kOnline + "?VER    \r";

// A run that fails: exit status 1, the reason on standard error (`says`), only the replies the
// printer gave on standard output (`out`), and the state file left as it was.
struct FailedRun {
  const char* name;
  std::optional<Bytes> state;
  void (*arrange)(SimOptions&, FakeFileSystem&);
  std::string input, out, says;
};

const FailedRun kFailedRuns[] = {
    {"short state file", DefaultsWith(0, 0, 86), nullptr, kAsk, "", "printer.state: 86 bytes"},
    {"long state file", DefaultsWith(0, 0, 88), nullptr, kAsk, "", "longer than 87"},
    {"state value out of its list", DefaultsWith(3, 200), nullptr, kAsk, "", "MENU1 PITCH"},
    {"unreadable state file", DefaultsWith(0, 0),
     [](SimOptions&, auto& fs) { fs.unreadable.insert("printer.state"); }, kAsk, "",
     "printer.state: cannot be read"},
    {"switched off", std::nullopt, [](SimOptions& o, auto&) { o.faults.switchedOff = true; }, kAsk,
     "", "switched off"},
    {"refused send, the rest answered", std::nullopt,
     [](SimOptions& o, auto&) {
       o.statePath.clear();
       o.faults.refuseSend = 1;
     },
     kAsk + kAsk, "?VER    :1.02   \r\n", "1 send(s) refused"},
    {"state not saved", std::nullopt, [](SimOptions&, auto& fs) { fs.diskFull = true; },
     kOnline + std::string(wire::kSaveExit), "", "state file printer.state: cannot be written"},
    {"overlong input", std::nullopt, nullptr, std::string(kInputLimit + 1, 'x'), "",
     "longer than"}};

TEST(SimProgram, FailedRunsSayWhy) {
  for (const FailedRun& c : kFailedRuns) {
    SCOPED_TRACE(c.name);
    rovant::testing::CallLog log;
    FakeFileSystem fs{log};
    SimOptions options;
    options.statePath = "printer.state";
    if (c.state) fs.files["printer.state"] = *c.state;
    if (c.arrange) c.arrange(options, fs);
    const auto before = fs.files;
    std::istringstream in(c.input);
    std::ostringstream out, paper, err;
    EXPECT_EQ(RunSimProgram(options, fs, in, out, paper, err), kSimFailed);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    EXPECT_EQ(fs.files, before);
  }
}

}  // namespace
}  // namespace rovant::sim
