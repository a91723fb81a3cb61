// DeviceLink against a pseudo-terminal in raw mode playing the printer's
// device file (its slave side has a path to open), and against descriptors of
// other kinds handed in through the link's opener. Every wait is bounded.
#include "connection/device_link.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "protocol/command_strings.hpp"
#include "tests/connection/link_contract.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr DeviceTimeouts kFast{2000, 2000, 100};

// The link opens `path()`, the slave side; the test plays the printer on the master side and keeps
// a slave descriptor of its own, so the master stays usable between the link's exchanges.
class Pty {
 public:
  Pty() {
    int master = -1, slave = -1;
    termios raw{};
    ::cfmakeraw(&raw);
    EXPECT_EQ(::openpty(&master, &slave, nullptr, &raw, nullptr), 0);
    master_ = UniqueFd(master);
    slave_ = UniqueFd(slave);
    std::array<char, 128> name{};
    EXPECT_EQ(::ttyname_r(slave, name.data(), name.size()), 0);
    path_ = name.data();
  }

  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] int master() const { return master_.get(); }

  // What the link wrote, until nothing came for a moment.
  [[nodiscard]] std::string Read() const {
    std::string got;
    std::array<char, 4096> chunk{};
    for (pollfd entry{master_.get(), POLLIN, 0}; ::poll(&entry, 1, 200) > 0;) {
      const ssize_t n = ::read(master_.get(), chunk.data(), chunk.size());
      if (n <= 0) break;
      got.append(chunk.data(), static_cast<std::size_t>(n));
    }
    return got;
  }
  // The printer answers: a blocking write, done once the link's side took every byte.
  void Write(std::string_view bytes) const {
    EXPECT_EQ(::write(master_.get(), bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }

 private:
  UniqueFd master_;
  std::string path_;
  UniqueFd slave_;
};

// The link's contract (link_contract.hpp) on a pseudo-terminal.
class PtyPrinter {
 public:
  explicit PtyPrinter(const Script& script)
      : writer_([this, script] {
          for (const auto& [pause, bytes] : script) {
            Pause(pause);
            pty_.Write(bytes);
          }
        }) {}
  [[nodiscard]] std::unique_ptr<DeviceLink> MakeLink(DeviceTimeouts timeouts) const {
    return std::make_unique<DeviceLink>(pty_.path(), timeouts);
  }
  static std::unique_ptr<DeviceLink> MakeUnreachableLink() {
    return std::make_unique<DeviceLink>(kAbsent, kFast);
  }
  [[nodiscard]] std::string Taken() const { return pty_.Read(); }
  static bool Open(const DeviceLink& link) { return link.open(); }
  [[nodiscard]] std::string NotOpen() const { return msg::DeviceNotOpen(pty_.path()); }
  [[nodiscard]] std::string NoAnswer(const char* waited) const {
    return msg::DeviceNoAnswer(pty_.path(), waited);
  }
  static std::string Unreachable() { return msg::DeviceAbsent(kAbsent); }
  static void Failed(const DeviceLink& /*link*/, LinkFailure /*kind*/) {}

 private:
  static constexpr const char* kAbsent = "/dev/usb/rovant-no-such-printer";
  Pty pty_;
  std::jthread writer_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Device, LinkContract, PtyPrinter);

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
  std::jthread printer([&] {
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
  // How much the pseudo-terminal's buffers took varies: the text names some count short of all.
  bool told = false;
  for (std::size_t taken = 0; taken < (256U << 10U) && !told; ++taken)
    told = link.LastError() == msg::DeviceTookOnly(pty.path(), taken, 256U << 10U, "0.6 s");
  EXPECT_TRUE(told) << link.LastError();
}

// What is not a character device is refused on the opened descriptor, named
// with what it is, and left as it was.
TEST(DeviceLink, WhatIsNotACharacterDeviceIsRefused) {
  std::string folder = (std::filesystem::temp_directory_path() / "rovant-notdev-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const std::string file = folder + "/lp0", pipe = folder + "/lp1";
  ASSERT_EQ(::close(::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644)), 0);
  std::filesystem::resize_file(file, 6);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  for (const auto& [path, what] :
       {std::pair{file, msg::kKindRegularFile}, {pipe, msg::kKindNamedPipe}}) {
    DeviceLink link(path, kFast);
    EXPECT_FALSE(link.Open(LinkRoute::kLan).open);
    EXPECT_FALSE(link.Send(std::string(wire::kOnlineSequence) + "DEFAULT\r"));
    EXPECT_EQ(link.LastError(), msg::NotADevice(path, what));
  }
  EXPECT_EQ(std::filesystem::file_size(file), 6U);
  std::filesystem::remove_all(folder);
}

// The device is opened for both directions without blocking; an open interrupted by a signal is
// tried again, and the next one's failure explained. (ENOENT is the link contract's.)
TEST(DeviceLink, OpenFailuresAreExplainedWithWhatToDo) {
  const std::pair<int, std::string> cases[] = {
      {EBUSY, msg::DeviceBusy("/dev/usb/lp7")},
      {EACCES, msg::DeviceNotPermitted("/dev/usb/lp7")},
      {EPERM, msg::DeviceNotPermitted("/dev/usb/lp7")},
      {ENXIO, msg::DeviceAbsent("/dev/usb/lp7")},
      {ENODEV, msg::DeviceAbsent("/dev/usb/lp7")},
      {EIO, msg::DeviceNotOpened("/dev/usb/lp7", std::strerror(EIO))}};
  for (const auto& [error, told] : cases) {
    int opens = 0;
    DeviceLink link("/dev/usb/lp7", kFast, [&opens, error](const std::string& path, int flags) {
      EXPECT_EQ(path, "/dev/usb/lp7");
      EXPECT_EQ(flags, O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
      errno = ++opens == 1 ? EINTR : error;
      return -1;
    });
    link.Open(LinkRoute::kSpoolerSession);
    EXPECT_FALSE(link.open());
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(link.LastError(), told) << error;
  }
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
  EXPECT_EQ(link.LastError(), msg::DeviceOneWay("/dev/usb/lp1"));
}

}  // namespace
}  // namespace rovant::testing
