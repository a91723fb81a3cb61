// DeviceLink against a pseudo-terminal in raw mode playing the printer's
// device file (its slave side has a path to open), and against descriptors of
// other kinds handed in through the link's opener. Every wait is bounded.
#include "connection/device_link.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "protocol/command_strings.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/session_input.hpp"
#include "tests/fakes/loopback_server.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr DeviceTimeouts kFast{2000, 2000, 100};

void MakeRaw(int fd) {
  termios mode{};
  ASSERT_EQ(::tcgetattr(fd, &mode), 0);
  ::cfmakeraw(&mode);
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &mode), 0);
}

// A pseudo-terminal in raw mode: the link opens `path()` (the slave side) as
// the printer's device file; the test plays the printer on the master side.
// The test keeps a slave descriptor of its own, so the master stays usable
// between the link's exchanges.
class Pty {
 public:
  Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    EXPECT_TRUE(master_.valid());
    EXPECT_EQ(::grantpt(master_.get()), 0);
    EXPECT_EQ(::unlockpt(master_.get()), 0);
    std::array<char, 128> name{};
    EXPECT_EQ(::ptsname_r(master_.get(), name.data(), name.size()), 0);
    path_ = name.data();
    slave_ = UniqueFd(::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    EXPECT_TRUE(slave_.valid());
    MakeRaw(slave_.get());
    MakeRaw(master_.get());
  }

  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] int master() const { return master_.get(); }

  // What the link wrote: until `count` bytes came or nothing came for `quietMs`.
  [[nodiscard]] std::string Read(std::size_t count, int quietMs = kTestWaitMs) const {
    std::string got;
    std::array<char, 4096> chunk{};
    while (got.size() < count) {
      pollfd entry{master_.get(), POLLIN, 0};
      if (::poll(&entry, 1, quietMs) <= 0) break;
      const ssize_t n =
          ::read(master_.get(), chunk.data(), std::min(chunk.size(), count - got.size()));
      if (n <= 0) break;
      got.append(chunk.data(), static_cast<std::size_t>(n));
    }
    return got;
  }
  // The printer answers: every byte goes to the link's side.
  void Write(std::string_view bytes) const {
    while (!bytes.empty()) {
      const ssize_t n = ::write(master_.get(), bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ADD_FAILURE() << "writing to the pseudo-terminal failed: " << std::strerror(errno);
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

 private:
  UniqueFd master_;
  std::string path_;
  UniqueFd slave_;
};

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Every byte value goes out as it was sent, and only while the link is open.
TEST(DeviceLink, SendsEveryByteOnlyWhileOpen) {
  Pty pty;
  std::string every;
  for (int value = 0; value < 256; ++value) every += static_cast<char>(value);
  const std::string sent = std::string(wire::kOnlineSequence) + every + "\r\n" + every;
  DeviceLink link(pty.path(), kFast);
  EXPECT_FALSE(link.Send("x"));
  EXPECT_EQ(link.LastError(), msg::DeviceNotOpen(pty.path()));
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  EXPECT_TRUE(link.open());
  EXPECT_EQ(link.LastError(), "");
  EXPECT_TRUE(link.Send(std::string_view(sent).substr(0, 5)));
  EXPECT_TRUE(link.Send(std::string_view(sent).substr(5)));
  EXPECT_EQ(link.LastError(), "");
  EXPECT_EQ(pty.Read(sent.size()), sent);
  link.Close();
  EXPECT_FALSE(link.open());
  EXPECT_FALSE(link.Send("x"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(pty.Read(1, 100), "");
}

// What the printer writes (each piece after a pause) and what the link's
// receives give: pieces are joined until the printer is quiet, what comes after
// a quiet moment is the next reply, a reply is cut at the buffer and the rest
// dropped; the receive after the last reply finds nothing, for a reason.
struct ReceiveCase {
  const char* name;
  DeviceTimeouts timeouts;
  std::vector<std::pair<int, std::string>> written;  // pause in ms, then the bytes
  std::vector<std::string> replies;
  const char* waited;  // the receive time-out told; nullptr: no receive after the replies
};

class DeviceLinkReceive : public ::testing::TestWithParam<ReceiveCase> {};

TEST_P(DeviceLinkReceive, GivesTheRepliesOrTheReason) {
  const ReceiveCase& c = GetParam();
  Pty pty;
  DeviceLink link(pty.path(), c.timeouts);
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  JoinedThread printer([&] {
    for (const auto& [pause, bytes] : c.written) {
      Pause(pause);
      pty.Write(bytes);
    }
  });
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  for (const std::string& expected : c.replies) {
    EXPECT_TRUE(link.Receive(reply, length)) << link.LastError();
    EXPECT_EQ(std::string(reply.data(), length), expected);
  }
  printer.Join();
  if (c.waited == nullptr) return;
  reply.fill('x');
  length = 99;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(reply[0], '\0');
  EXPECT_EQ(link.LastError(), msg::DeviceNoAnswer(pty.path(), c.waited));
}

const std::string kLong = PatternText(5000);

INSTANTIATE_TEST_SUITE_P(
    ByPrinter, DeviceLinkReceive,
    ::testing::Values(
        // Pauses far shorter than the link's quiet time (600 ms) between the pieces.
        ReceiveCase{"InPiecesIsJoined",
                    {2000, 2000, 600},
                    {{0, "?MODEL  :"}, {50, "HX3"}, {80, "20  \r\n"}},
                    {"?MODEL  :HX320  \r\n"},
                    nullptr},
        ReceiveCase{"AfterAQuietMomentIsTheNextReply",
                    {2000, 2000, 100},
                    {{0, "FIRST"}, {600, "SECOND"}},
                    {"FIRST", "SECOND"},
                    nullptr},
        ReceiveCase{"LongerThanTheBufferIsCutAndTheRestDropped",
                    {2000, 300, 150},
                    {{0, kLong}},
                    {kLong.substr(0, 4096)},
                    "0.3 s"},
        ReceiveCase{"SilentPrinterAfterTheReceiveTimeOut", {2000, 150, 100}, {}, {}, "0.15 s"}),
    [](const ::testing::TestParamInfo<ReceiveCase>& param) {
      return std::string(param.param.name);
    });

TEST(DeviceLink, PrinterTakingNoDataFailsTheSendAfterTheWriteTimeOut) {
  Pty pty;  // nobody reads the printer's side: its buffers fill up
  DeviceLink link(pty.path(), {150, 2000, 100});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  EXPECT_FALSE(link.Send(std::string(8U << 20U, 'x')));
  EXPECT_EQ(link.LastError(), msg::DeviceTookNoData(pty.path(), "0.15 s"));
}

TEST(DeviceLink, PrinterTakingATrickleFailsTheSendAfterTheSendTimeOut) {
  Pty pty;
  std::atomic<bool> stop{false};
  // The printer takes 64 bytes every 20 ms: never quiet for the write time-out,
  // but the 256 KB would take over a minute.
  JoinedThread printer([&] {
    std::array<char, 64> chunk{};
    while (!stop) {
      Pause(20);
      if (::read(pty.master(), chunk.data(), chunk.size()) < 0 && errno != EAGAIN) break;
    }
  });
  ASSERT_EQ(::fcntl(pty.master(), F_SETFL, ::fcntl(pty.master(), F_GETFL) | O_NONBLOCK), 0);
  DeviceLink link(pty.path(), {1000, 2000, 100, 600});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Send(std::string(256U << 10U, 'x')));
  stop = true;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(3000));
  // How much the pseudo-terminal's buffers took varies: the count is read where the text has it.
  const auto told = [&](std::size_t taken) {
    return msg::DeviceTookOnly(pty.path(), taken, 256U << 10U, "0.6 s");
  };
  const std::string none = told(0);
  const std::string one = told(1);
  const auto at = static_cast<std::size_t>(
      std::mismatch(none.begin(), none.end(), one.begin()).first - none.begin());
  const std::string error = link.LastError();
  const std::size_t taken = std::strtoul(error.c_str() + std::min(at, error.size()), nullptr, 10);
  EXPECT_LT(taken, 256U << 10U);
  EXPECT_EQ(error, told(taken));
}

// What is not a character device is refused on the opened descriptor, named
// with what it is, and left as it was.
struct NotADevice {
  std::string_view what;
  std::function<void(const std::string&)> make;
};

class DeviceLinkRefuses : public ::testing::TestWithParam<NotADevice> {};

TEST_P(DeviceLinkRefuses, WhatIsNotACharacterDevice) {
  std::string folder = (std::filesystem::temp_directory_path() / "rovant-notdev-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const std::string path = folder + "/lp0";
  GetParam().make(path);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  DeviceLink link(path, kFast);
  EXPECT_FALSE(link.Open(LinkRoute::kLan).open);
  EXPECT_FALSE(link.Send(std::string(wire::kOnlineSequence) + "DEFAULT\r"));
  EXPECT_EQ(link.LastError(), msg::NotADevice(path, GetParam().what));
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_size, before.st_size);
  std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    ByKind, DeviceLinkRefuses,
    ::testing::Values(NotADevice{msg::kKindRegularFile,
                                 [](const std::string& path) {
                                   const UniqueFd file(
                                       ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
                                   ASSERT_EQ(::write(file.get(), "notes\n", 6), 6);
                                 }},
                      NotADevice{msg::kKindNamedPipe, [](const std::string& path) {
                                   ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
                                 }}));

TEST(DeviceLink, MissingDeviceIsExplained) {
  const std::string path = "/dev/usb/rovant-no-such-printer";
  DeviceLink link(path, kFast);
  const LinkOpening opening = link.Open(LinkRoute::kLan);
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link.LastError(), msg::DeviceAbsent(path));
  EXPECT_FALSE(link.open());
  // A spooler session is kept for the first send, which fails with the reason.
  DeviceLink session(path, kFast);
  EXPECT_TRUE(session.Open(LinkRoute::kSpoolerSession).open);
  EXPECT_FALSE(session.Send(wire::kOnlineSequence));
  EXPECT_EQ(session.LastError(), msg::DeviceAbsent(path));
}

// Opened for both directions without blocking; an open interrupted by a signal is tried again.
TEST(DeviceLink, DeviceIsOpenedForBothDirectionsWithoutBlocking) {
  Pty pty;
  std::vector<std::string> asked;
  int askedFlags = 0;
  DeviceLink link("/dev/usb/lp3", kFast, [&](const std::string& path, int flags) {
    asked.push_back(path);
    askedFlags = flags;
    if (asked.size() == 1) {
      errno = EINTR;
      return -1;
    }
    return ::open(pty.path().c_str(), flags);
  });
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_TRUE(link.open()) << link.LastError();
  EXPECT_EQ(asked, (std::vector<std::string>{"/dev/usb/lp3", "/dev/usb/lp3"}));
  EXPECT_EQ(askedFlags, O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

struct OpenFailure {
  int error;
  std::string (*told)(std::string_view path);
};

class DeviceOpenFailure : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(DeviceOpenFailure, IsExplainedWithWhatToDo) {
  const OpenFailure& failure = GetParam();
  DeviceLink link("/dev/usb/lp7", kFast, [&](const std::string&, int) {
    errno = failure.error;
    return -1;
  });
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_FALSE(link.open());
  EXPECT_EQ(link.LastError(), failure.told("/dev/usb/lp7"));
}

INSTANTIATE_TEST_SUITE_P(ByReason, DeviceOpenFailure,
                         ::testing::Values(OpenFailure{EBUSY, msg::DeviceBusy},
                                           OpenFailure{EACCES, msg::DeviceNotPermitted},
                                           OpenFailure{EPERM, msg::DeviceNotPermitted},
                                           OpenFailure{ENOENT, msg::DeviceAbsent},
                                           OpenFailure{ENXIO, msg::DeviceAbsent},
                                           OpenFailure{ENODEV, msg::DeviceAbsent},
                                           OpenFailure{EIO, [](std::string_view path) {
                                                         return msg::DeviceNotOpened(
                                                             path, std::strerror(EIO));
                                                       }}));

TEST(DeviceLink, OneWayInterfaceFailsTheReceiveWithItsReason) {
  // An epoll descriptor cannot be read at all: read() fails with EINVAL, as
  // it does on a printer interface without a reverse channel. The usblp
  // driver never reports such a device readable, so the link must try the
  // read before it waits.
  constexpr unsigned kLongReceiveMs = 10000;
  DeviceLink link("/dev/usb/lp1", {2000, kLongReceiveMs, 100},
                  [](const std::string&, int) { return ::epoll_create1(EPOLL_CLOEXEC); });
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Receive(reply, length));
  // Told at once, not after waiting out the receive time-out for a reply that cannot come.
  EXPECT_LT(std::chrono::steady_clock::now() - started,
            std::chrono::milliseconds(kLongReceiveMs / 2));
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(link.LastError(), msg::DeviceOneWay("/dev/usb/lp1"));
}

// The simulated printer behind the pseudo-terminal: each burst of bytes the
// link writes (ended by a quiet moment) is one session; its reply goes back.
class PrinterOnPty {
 public:
  explicit PrinterOnPty(const SettingsRecord& memory) : printer_(ModelCode::kHx320, memory) {
    thread_ = std::thread([this] {
      while (!stop_) {
        std::string burst = pty_.Read(64 * 1024, 100);
        if (burst.empty()) continue;
        const sim::SessionOutcome outcome = sim::RunSession(printer_, burst);
        ++sessions_;
        if (outcome.received && !outcome.reply.empty()) pty_.Write(outcome.reply);
      }
    });
  }
  ~PrinterOnPty() { Stop(); }
  PrinterOnPty(const PrinterOnPty&) = delete;
  PrinterOnPty& operator=(const PrinterOnPty&) = delete;
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] const std::string& path() const { return pty_.path(); }
  // Only after Stop.
  sim::SimulatedPrinter& printer() { return printer_; }
  [[nodiscard]] int sessions() const { return sessions_; }

 private:
  Pty pty_;
  sim::SimulatedPrinter printer_;
  std::atomic<bool> stop_{false};
  std::atomic<int> sessions_{0};
  std::thread thread_;
};

TEST_F(OperationTest, TransferAndReadThroughTheDeviceReachTheSimulatedPrinter) {
  const SettingsRecord wanted = ChangedSettings();
  PrinterOnPty sim(kFactoryDefaults);
  DeviceLink device(sim.path(), kFast);
  PrinterOperationContext overDevice{state, device, clock, host, cursor, boxes, pages};
  state.selectedPrinter.portState = kPortLocal;
  state.selectedPrinter.modelCode = ModelCode::kHx320;
  state.settings = wanted;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, overDevice), WriteResult::kDone)
      << device.LastError();
  // The printer side takes the burst once it has been quiet.
  for (int wait = 0; wait < kTestWaitMs / 50 && sim.sessions() == 0; ++wait) Pause(50);
  EXPECT_EQ(sim.sessions(), 1);
  state.settings = kFactoryDefaults;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kStartUp, kOwner, overDevice), ReadResult::kDone)
      << device.LastError();
  EXPECT_EQ(state.settings, wanted);
  EXPECT_FALSE(device.open());  // the exchange ended: the device is free again
  sim.Stop();
  EXPECT_EQ(sim.sessions(), 2);
  EXPECT_EQ(sim.printer().memory(), wanted);
  EXPECT_FALSE(sim.printer().inSetup());
}

}  // namespace
}  // namespace rovant::testing
