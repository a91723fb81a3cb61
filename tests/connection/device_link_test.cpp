// DeviceLink against a pseudo-terminal in raw mode playing the printer's
// device file (its slave side has a path to open), and against descriptors of
// other kinds handed in through the link's opener. Every wait is bounded.
#include "connection/device_link.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <grp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/session_input.hpp"
#include "sim/sim_program.hpp"
#include "sim/simulated_printer.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr int kTestWaitMs = 5000;  // the longest any test side waits for the other
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
  [[nodiscard]] int slave() const { return slave_.get(); }

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

// A thread that is always joined.
class Background {
 public:
  explicit Background(std::function<void()> body) : thread_(std::move(body)) {}
  ~Background() { Join(); }
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string Received(DeviceLink& link) {
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_TRUE(link.Receive(reply, length)) << link.LastError();
  return std::string(reply.data(), length);
}

std::string Pattern(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += static_cast<char>('A' + i % 26);
  return text;
}

TEST(DeviceLink, SendArrivesByteForByte) {
  Pty pty;
  std::string every;
  for (int value = 0; value < 256; ++value) every += static_cast<char>(value);
  const std::string sent = std::string(wire::kOnlineSequence) + every + "\r\n" + every;
  DeviceLink link(pty.path(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  EXPECT_TRUE(link.open());
  EXPECT_TRUE(link.Send(std::string_view(sent).substr(0, 5)));
  EXPECT_TRUE(link.Send(std::string_view(sent).substr(5)));
  EXPECT_EQ(link.LastError(), "");
  EXPECT_EQ(pty.Read(sent.size()), sent);
  link.Close();
  EXPECT_FALSE(link.open());
}

TEST(DeviceLink, ReplyInPiecesIsJoinedUntilThePrinterIsQuiet) {
  Pty pty;
  // Pauses far shorter than the link's quiet time (600 ms) between the pieces.
  Background printer([&] {
    pty.Write("?MODEL  :");
    Pause(50);
    pty.Write("HX3");
    Pause(80);
    pty.Write("20  \r\n");
  });
  DeviceLink link(pty.path(), {2000, 2000, 600});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  EXPECT_EQ(Received(link), "?MODEL  :HX320  \r\n");
}

TEST(DeviceLink, WhatComesAfterAQuietMomentBelongsToTheNextReceive) {
  Pty pty;
  DeviceLink link(pty.path(), {2000, 2000, 100});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  Background printer([&] {
    pty.Write("FIRST");
    Pause(600);  // far longer than the quiet time
    pty.Write("SECOND");
  });
  EXPECT_EQ(Received(link), "FIRST");
  EXPECT_EQ(Received(link), "SECOND");
}

TEST(DeviceLink, ReplyLongerThanTheBufferIsCutAt4096AndTheRestDropped) {
  Pty pty;
  const std::string sent = Pattern(5000);
  DeviceLink link(pty.path(), {2000, 300, 150});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  Background printer([&] { pty.Write(sent); });
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length)) << link.LastError();
  EXPECT_EQ(length, 4096U);
  EXPECT_EQ(std::string(reply.data(), length), sent.substr(0, 4096));
  printer.Join();
  // The 904 bytes beyond the buffer were read and dropped: nothing is left over.
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(length, 0U);
}

TEST(DeviceLink, SilentPrinterGivesNoReplyAfterTheReceiveTimeOut) {
  Pty pty;
  DeviceLink link(pty.path(), {2000, 150, 100});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.Send("?MODEL  \r"));
  std::array<char, 4096> reply{};
  reply.fill('x');
  std::size_t length = 99;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(reply[0], '\0');
  EXPECT_EQ(link.LastError(), "no answer from the printer at " + pty.path() + " within 0.15 s");
}

TEST(DeviceLink, PrinterTakingNoDataFailsTheSendAfterTheWriteTimeOut) {
  Pty pty;  // nobody reads the printer's side: its buffers fill up
  DeviceLink link(pty.path(), {150, 2000, 100});
  link.Open(LinkRoute::kSpoolerSession);
  ASSERT_TRUE(link.open()) << link.LastError();
  EXPECT_FALSE(link.Send(std::string(8U << 20U, 'x')));
  EXPECT_EQ(link.LastError(), "the printer at " + pty.path() +
                                  " took no data within 0.15 s: it may be off line, out of paper "
                                  "or jammed");
}

TEST(DeviceLink, PrinterTakingATrickleFailsTheSendAfterTheSendTimeOut) {
  Pty pty;
  std::atomic<bool> stop{false};
  // The printer takes 64 bytes every 20 ms: never quiet for the write time-out,
  // but the 256 KB would take over a minute.
  Background printer([&] {
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
  EXPECT_THAT(link.LastError(), ::testing::MatchesRegex("the printer at .* took only [0-9]+ of "
                                                        "262144 bytes within 0.6 s: it may be off "
                                                        "line, out of paper or jammed"));
}

// What is not a character device is refused on the opened descriptor, named
// with what it is, and left as it was.
struct NotADevice {
  const char* what;
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
  EXPECT_EQ(link.LastError(), path + " is " + GetParam().what +
                                  ", not a printer's device file (a character device such as "
                                  "/dev/usb/lp0): nothing was sent to it");
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_size, before.st_size);
  std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    ByKind, DeviceLinkRefuses,
    ::testing::Values(NotADevice{"a regular file",
                                 [](const std::string& path) {
                                   const UniqueFd file(
                                       ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
                                   ASSERT_EQ(::write(file.get(), "notes\n", 6), 6);
                                 }},
                      NotADevice{"a named pipe (FIFO)", [](const std::string& path) {
                                   ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
                                 }}));

TEST(DeviceLink, NothingGoesOutBeforeOpeningOrAfterEnd) {
  Pty pty;
  DeviceLink link(pty.path(), kFast);
  EXPECT_FALSE(link.Send("x"));
  EXPECT_EQ(link.LastError(), "the printer device " + pty.path() + " is not open");
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_TRUE(link.open());
  EXPECT_EQ(link.LastError(), "");
  link.Close();
  EXPECT_FALSE(link.open());
  EXPECT_FALSE(link.Send("x"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(pty.Read(1, 100), "");
}

TEST(DeviceLink, MissingDeviceIsExplained) {
  const std::string path = "/dev/usb/rovant-no-such-printer";
  DeviceLink link(path, kFast);
  const LinkOpening opening = link.Open(LinkRoute::kLan);
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link.LastError(), "there is no printer device " + path +
                                  ": the printer is not connected or is switched off (check the "
                                  "cable, the power and the device name)");
  EXPECT_FALSE(link.open());
}

TEST(DeviceLink, FailedSpoolerSessionMakesTheNextSendFailWithItsReason) {
  DeviceLink link("/dev/usb/rovant-no-such-printer", kFast);
  EXPECT_TRUE(link.Open(LinkRoute::kSpoolerSession).open) << "kept for the first send";
  EXPECT_FALSE(link.Send(wire::kOnlineSequence));
  EXPECT_THAT(link.LastError(), ::testing::HasSubstr("there is no printer device"));
}

TEST(DeviceLink, DeviceIsOpenedForBothDirectionsWithoutBlocking) {
  Pty pty;
  std::string askedPath;
  int askedFlags = 0;
  DeviceLink link("/dev/usb/lp3", kFast, [&](const std::string& path, int flags) {
    askedPath = path;
    askedFlags = flags;
    return ::open(pty.path().c_str(), flags);
  });
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_TRUE(link.open());
  EXPECT_EQ(askedPath, "/dev/usb/lp3");
  EXPECT_EQ(askedFlags, O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

TEST(DeviceLink, OpenInterruptedBySignalIsTriedAgain) {
  Pty pty;
  int calls = 0;
  DeviceLink link("/dev/usb/lp0", kFast, [&](const std::string&, int flags) {
    if (++calls == 1) {
      errno = EINTR;
      return -1;
    }
    return ::open(pty.path().c_str(), flags);
  });
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_TRUE(link.open()) << link.LastError();
  EXPECT_EQ(calls, 2);
}

// What the user is told when the device cannot be opened, by the system's reason.
struct OpenFailure {
  int error;
  const char* told;
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
  EXPECT_EQ(link.LastError(), failure.told);
}

constexpr const char* kBusyText =
    "the printer device /dev/usb/lp7 is in use by the print spooler (CUPS) or another program: "
    "stop the CUPS queue of this printer (cupsdisable QUEUE) or close the other program, then try "
    "again";
constexpr const char* kPermissionText =
    "no permission to use the printer device /dev/usb/lp7: add your user to the group owning it "
    "(usually \"lp\": sudo usermod -aG lp USER, then log in again) or run with rights on the "
    "device";
constexpr const char* kAbsentText =
    "there is no printer device /dev/usb/lp7: the printer is not connected or is switched off "
    "(check the cable, the power and the device name)";

INSTANTIATE_TEST_SUITE_P(
    ByReason, DeviceOpenFailure,
    ::testing::Values(OpenFailure{EBUSY, kBusyText}, OpenFailure{EACCES, kPermissionText},
                      OpenFailure{EPERM, kPermissionText}, OpenFailure{ENOENT, kAbsentText},
                      OpenFailure{ENXIO, kAbsentText}, OpenFailure{ENODEV, kAbsentText},
                      OpenFailure{
                          EIO, "cannot open the printer device /dev/usb/lp7: Input/output error"}));

// What opening `path` tells a user without special rights: in this process,
// or, when the tests run as root (whom neither a busy terminal nor file modes
// stop), in a child process that gave up root first. Nothing when it cannot.
std::optional<std::string> OpenErrorWithoutRights(const std::string& path) {
  if (::geteuid() != 0) {
    DeviceLink link(path, kFast);
    link.Open(LinkRoute::kSpoolerSession);
    return link.LastError();
  }
  std::array<int, 2> pipe{};
  if (::pipe2(pipe.data(), O_CLOEXEC) != 0) return std::nullopt;
  UniqueFd readEnd(pipe[0]);
  UniqueFd writeEnd(pipe[1]);
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    constexpr gid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(3);
    DeviceLink link(path, kFast);
    link.Open(LinkRoute::kSpoolerSession);
    const std::string told = link.LastError();
    const bool written =
        ::write(writeEnd.get(), told.data(), told.size()) == static_cast<ssize_t>(told.size());
    ::_exit(written ? 0 : 4);
  }
  writeEnd.Reset();
  std::string told;
  std::array<char, 1024> chunk{};
  for (;;) {
    const ssize_t n = ::read(readEnd.get(), chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    told.append(chunk.data(), static_cast<std::size_t>(n));
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return told;
}

TEST(DeviceLink, DeviceHeldExclusivelyByAnotherProgramIsExplainedAsBusy) {
  Pty pty;
  // Another program holds the terminal exclusively: further opens get EBUSY.
  ASSERT_EQ(::ioctl(pty.slave(), TIOCEXCL), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chmod(pty.path().c_str(), 0666), 0);  // for the unprivileged child
  }
  const std::optional<std::string> told = OpenErrorWithoutRights(pty.path());
  if (!told) GTEST_SKIP() << "root cannot give up its rights here to see the busy device";
  EXPECT_EQ(*told, "the printer device " + pty.path() +
                       " is in use by the print spooler (CUPS) or another program: stop the CUPS "
                       "queue of this printer (cupsdisable QUEUE) or close the other program, "
                       "then try again");
}

TEST(DeviceLink, DeviceWithoutPermissionIsExplained) {
  std::string folder = (std::filesystem::temp_directory_path() / "rovant-device-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  const std::string path = folder + "/lp0";
  { const UniqueFd file(::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0000)); }
  ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
  const std::optional<std::string> told = OpenErrorWithoutRights(path);
  std::filesystem::remove_all(folder);
  if (!told) GTEST_SKIP() << "root cannot give up its rights here to meet a file mode";
  EXPECT_EQ(*told, "no permission to use the printer device " + path +
                       ": add your user to the group owning it (usually \"lp\": sudo usermod -aG "
                       "lp USER, then log in again) or run with rights on the device");
}

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
  EXPECT_EQ(link.LastError(),
            "the printer's interface at /dev/usb/lp1 is one-way: no replies can be read through "
            "it; check that the interface and the cable support bidirectional mode (a parallel "
            "port: ECP, EPP or PS/2 in the computer's firmware settings)");
}

TEST(DeviceLink, DefaultTimeOuts) {
  EXPECT_EQ(DeviceTimeouts{}.writeMs, 5000U);
  EXPECT_EQ(DeviceTimeouts{}.receiveMs, 5000U);
  EXPECT_EQ(DeviceTimeouts{}.quietMs, 200U);
  EXPECT_EQ(DeviceTimeouts{}.sendMs, 20000U);
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

SettingsRecord ChangedSettings() {
  SettingsRecord record = kFactoryDefaults;
  const std::optional<ItemIndex> pitch = sim::ParseItemName("MENU1.PITCH");
  EXPECT_TRUE(pitch.has_value());
  record[*pitch] = static_cast<std::uint8_t>(record[*pitch] == 0 ? 1 : 0);
  return record;
}

TEST_F(OperationTest, ReadThroughTheDeviceGetsTheSimulatedPrintersSettings) {
  const SettingsRecord memory = ChangedSettings();
  PrinterOnPty sim(memory);
  DeviceLink device(sim.path(), kFast);
  PrinterOperationContext overDevice{state, device, clock, host, cursor, boxes, pages};
  state.selectedPrinter.portState = kPortLocal;
  state.selectedPrinter.modelCode = ModelCode::kHx320;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kStartUp, kOwner, overDevice), ReadResult::kDone)
      << device.LastError();
  EXPECT_EQ(state.settings, memory);
  EXPECT_FALSE(device.open());  // the exchange ended: the device is free again
  sim.Stop();
  EXPECT_EQ(sim.sessions(), 1);
  EXPECT_FALSE(sim.printer().inSetup());
}

TEST_F(OperationTest, TransferThroughTheDeviceIsStoredByTheSimulatedPrinter) {
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
  sim.Stop();
  EXPECT_EQ(sim.sessions(), 1);
  EXPECT_EQ(sim.printer().memory(), wanted);
}

TEST_F(OperationTest, ReadFromAMissingDeviceFailsAndKeepsTheReason) {
  DeviceLink device("/dev/usb/rovant-no-such-printer", kFast);
  PrinterOperationContext overDevice{state, device, clock, host, cursor, boxes, pages};
  state.selectedPrinter.portState = kPortLocal;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, overDevice), ReadResult::kFailed);
  EXPECT_THAT(device.LastError(), ::testing::HasSubstr("there is no printer device"));
}

}  // namespace
}  // namespace rovant::testing
