// TcpLink against small loopback servers and the simulator listening on a loopback port. Settings
// carried over TCP to the simulator are tcp_end_to_end's.
// clang-format off
#include "tests/connection/link_contract.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include "connection/tcp_link.hpp"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/command_strings.hpp"
#include "protocol/reply_parser.hpp"
#include "texts/link_messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr TcpTimeouts kFast{2000, 2000, 100};

std::string Where(std::uint16_t port) { return "127.0.0.1:" + std::to_string(port); }

// The link's contract (link_contract.hpp) against a loopback server, made
// when the link is: the printer plays its script once the link connected,
// then takes what comes until the link closes.
class LoopbackPrinter {
 public:
  explicit LoopbackPrinter(Script script) : script_(std::move(script)) {}
  std::unique_ptr<TcpLink> MakeLink(TcpTimeouts timeouts) {
    server_.emplace([this](NativeSocket fd) {
      for (const auto& [pause, bytes] : script_) {
        Pause(pause);
        SendBytes(fd, bytes);
      }
      taken_ = ReadBytes(fd, std::size_t{1} << 20);
    });
    return std::make_unique<TcpLink>("127.0.0.1", server_->port(), timeouts);
  }
  [[nodiscard]] std::unique_ptr<TcpLink> MakeUnreachableLink() const {
    return std::make_unique<TcpLink>("127.0.0.1", closed_, kFast);
  }
  std::string Taken() {
    server_->Join();
    return taken_;
  }
  static bool Open(const TcpLink& link) { return link.connected(); }
  [[nodiscard]] std::string NotOpen() const { return msg::NotConnected(Where(server_->port())); }
  [[nodiscard]] std::string NoAnswer(const char* waited) const {
    return msg::NoAnswerWithin(Where(server_->port()), waited);
  }
  [[nodiscard]] std::string Unreachable() const { return msg::ConnectionRefused(Where(closed_)); }
  static void Failed(const TcpLink& link, LinkFailure kind) {
    EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), kind == LinkFailure::kNoAnswer
                                                                  ? net::SocketErrorKind::kTimedOut
                                                                  : net::SocketErrorKind::kRefused);
  }

 private:
  Script script_;
  std::string taken_;
  std::optional<LoopbackServer> server_;
  std::uint16_t closed_ = ClosedPort();
};

INSTANTIATE_TYPED_TEST_SUITE_P(Tcp, LinkContract, LoopbackPrinter);

TEST(TcpLink, PrinterClosingWithoutAnAnswerIsExplained) {
  LoopbackServer server([](NativeSocket) {});
  TcpLink link("127.0.0.1", server.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  std::array<char, 4096> reply{};
  std::size_t length = 7;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(link.LastError(), msg::ClosedWithoutAnswer(Where(server.port())));
  EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), net::SocketErrorKind::kOther);
}

// After the last send the link shuts its side and waits a moment: a printer that resets the
// connection then is a failure; one that answers, closes or keeps the connection open is not, and
// the wait stays short.
struct EndCase {
  bool resets;
  const char* answer;
  int keepsMs;  // how long the printer keeps the connection after reading
};

TEST(TcpLink, EndAfterTheLastSend) {
  const EndCase cases[] = {
      {true, nullptr, 0}, {false, nullptr, 0}, {false, nullptr, 900}, {false, "?MODEL  :\r\n", 0}};
  for (const EndCase& c : cases) {
#ifdef _WIN32
    if (c.resets) continue;  // Wine closes a socket with a zero linger time as any other
#endif
    SCOPED_TRACE(&c - cases);
    LoopbackServer server([&c](NativeSocket fd) {
      ReadBytes(fd, 8);
      const linger abort{1, 0};  // the close then resets the connection
      if (c.resets)
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                     sizeof abort);
      if (c.answer != nullptr) SendBytes(fd, c.answer);
      Pause(c.keepsMs);
    });
    TcpLink link("127.0.0.1", server.port(), {2000, 2000, 100, 500});
    ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
    ASSERT_TRUE(link.Send("SETTINGS"));
    const auto started = std::chrono::steady_clock::now();
    link.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(link.endFailed(), c.resets);
    // The system's reason is the one of the reset the printer made.
    EXPECT_EQ(link.LastError(),
              c.resets ? msg::ResetAfterLastSend(Where(server.port()),
                                                 net::SocketErrorText(link.lastErrorCode()))
                       : "");
  }
}

// The look-up's thread has ended when the link goes on, as the LAN library that runs it may be
// unloaded next. Each copy of the resolver counts itself; the thread's copy is slow to go.
TEST(TcpLink, ALookupThatAnsweredHasEndedItsThreadWhenTheLinkGoesOn) {
  struct Probe {
    std::shared_ptr<std::atomic<int>> live = std::make_shared<std::atomic<int>>(1);
    Probe() = default;
    Probe(const Probe& other) : live(other.live) { ++*live; }
    Probe& operator=(const Probe&) = delete;
    ~Probe() {
      Pause(100);
      --*live;
    }
  };
  const Probe probe;
  TcpLink link("printer.example", 9100, {2000, 2000, 100, 500, 2000},
               [probe](const std::string&, const std::string&, const addrinfo&, addrinfo** found) {
                 *found = nullptr;
                 return EAI_NONAME;
               });
  const int before = *probe.live;
  EXPECT_FALSE(link.Open(LinkRoute::kLan).open);
  EXPECT_EQ(*probe.live, before);
}

TEST(TcpLink, NameLookupThatDoesNotAnswerFailsAfterItsTimeOut) {
  TcpLink link("printer.example", 9100, {2000, 2000, 100, 500, 200},
               [](const std::string&, const std::string&, const addrinfo&, addrinfo** found) {
                 *found = nullptr;
                 Pause(1500);
                 return EAI_AGAIN;
               });
  const auto started = std::chrono::steady_clock::now();
  const LinkOpening opening = link.Open(LinkRoute::kLan);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link.LastError(), msg::AddressNotResolvedWithin("printer.example", "0.2 s"));
  EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), net::SocketErrorKind::kTimedOut);
}

// The system's text, as the messages quote it: without the line end Windows adds.
TEST(Sockets, ErrorTextsHaveNoLineEnd) {
  EXPECT_FALSE(net::SocketErrorText(net::TimedOutCode()).empty());
  EXPECT_NE(net::SocketErrorText(net::TimedOutCode()).back(), '\n');
}

TEST(SimListenAddress, HostAndPortAreParsed) {
  const Expected<sim::ListenAddress> any = sim::ParseListenAddress("127.0.0.1:0");
  ASSERT_TRUE(any.has_value()) << any.error();
  EXPECT_EQ(any->host, "127.0.0.1");
  EXPECT_EQ(any->port, 0);
  EXPECT_EQ(sim::ParseListenAddress("127.0.0.1:9100")->port, 9100);
  for (const char* bad :
       {"127.0.0.1", "127.0.0.1:", ":9100", "127.0.0.1:65536", "127.0.0.1:9x", "printer:9100"}) {
    const Expected<sim::ListenAddress> refused = sim::ParseListenAddress(bad);
    ASSERT_FALSE(refused.has_value()) << bad;
    EXPECT_FALSE(refused.error().empty()) << bad;
  }
}

std::string Exchanged(TcpLink& link, std::initializer_list<std::string_view> sends) {
  for (const std::string_view bytes : sends) EXPECT_TRUE(link.Send(bytes)) << link.LastError();
  ReplyBuffer reply{};
  std::size_t length = 0;
  EXPECT_TRUE(link.Receive(reply, length)) << link.LastError();
  return {reply.data(), length};
}

TEST(TcpLinkWithSimulator, OnlineSequenceSplitAcrossSendsIsStillRecognised) {
  ListeningPrinter sim(1);
  TcpLink link("127.0.0.1", sim.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  // Whether or not the pieces arrive apart, the printer must see one online sequence.
  EXPECT_EQ(Exchanged(link, {"\x1b", "eONL", "INE?MODEL  \r"}), "?MODEL  :HX320  \r\n");
  link.Close();
}

TEST(TcpLinkWithSimulator, ASilentClientDoesNotKeepTheNextOneWaiting) {
  ListeningPrinter sim(2);  // each session may be idle for 5 s
  const SocketHandle silent = ConnectedTo(sim.port());
  Pause(200);                                    // its session has begun
  TcpLink link("127.0.0.1", sim.port(), kFast);  // gives up on a reply after 2 s
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  EXPECT_EQ(Exchanged(link, {wire::kOnlineSequence, "?MODEL  \rEXIT   \r"}),
            "?MODEL  :HX320  \r\n");
  link.Close();
  sim.Join();
  ASSERT_EQ(sim.reports().size(), 2U);
  EXPECT_EQ(sim.reports()[0].end, sim::SessionEnd::kGaveWay);
}

TEST(TcpLinkWithSimulator, ASessionEndsAtItsLimitHoweverOftenTheClientSends) {
  ListeningPrinter sim(1, [](sim::SimListener&, sim::ListenOptions& o) { o.sessionLimitMs = 500; });
  const SocketHandle client = ConnectedTo(sim.port());
  const auto started = std::chrono::steady_clock::now();
  bool closed = false;
  // A byte every 100 ms, far inside the idle time-out, for at most 3 s.
  for (int sends = 0; sends < 30 && !closed; ++sends) {
    net::SendSome(client.get(), "x", 1);
    if (net::Wait(client.get(), net::WaitFor::kReadable, 100) > 0) {
      std::array<char, 16> chunk{};
      closed = net::ReceiveSome(client.get(), chunk.data(), chunk.size()) <= 0;
    }
  }
  EXPECT_TRUE(closed);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2000));
  sim.Join();
  ASSERT_EQ(sim.reports().size(), 1U);
  EXPECT_EQ(sim.reports()[0].end, sim::SessionEnd::kLifeLimit);
}

#ifdef _WIN32
constexpr int kTooManyFiles = WSAEMFILE;
constexpr int kNotASocket = WSAENOTSOCK;
#else
constexpr int kTooManyFiles = EMFILE;
constexpr int kNotASocket = ENOTSOCK;
#endif

// A failed accept: one that may pass is said and tried again, any other stops serving with its
// reason.
TEST(SimListener, AFailedAcceptIsReported) {
  for (const std::pair<int, bool>& c : {std::pair{kTooManyFiles, true}, {kNotASocket, false}}) {
    std::vector<std::string> notes;
    ListeningPrinter sim(1, [&](sim::SimListener& listener, sim::ListenOptions&) {
      listener.UseAcceptor([&c, calls = 0](NativeSocket socket, int& code) mutable {
        if (++calls == 1) {
          code = c.first;
          return kNoSocket;
        }
        const NativeSocket accepted = net::AcceptConnection(socket);
        code = net::LastSocketError();
        return accepted;
      });
      listener.ReportTo([&](const std::string& note) { notes.push_back(note); });
    });
    {
      const SocketHandle client = ConnectedTo(sim.port());
      Pause(400);
    }
    sim.Join();
    const std::string reason = "accepting a connection failed: " + net::SocketErrorText(c.first);
    EXPECT_EQ(sim.reports().size(), c.second ? 1U : 0U);
    EXPECT_EQ(sim.listener().failure(), c.second ? "" : reason);
    EXPECT_EQ(notes,
              c.second ? std::vector{reason + "; trying again"} : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace rovant::testing
