// TcpLink against small loopback servers and against the simulator listening
// on a loopback port. Every wait is bounded by a short time-out.
#include "connection/tcp_link.hpp"

#include <gmock/gmock.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "connection/socket_api.hpp"
#include "connection/socket_system.hpp"
#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/reply_parser.hpp"
#include "protocol/write_settings.hpp"
#include "sim/sim_listen.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr int kTestWaitMs = 5000;  // the longest any test side waits for the other
constexpr TcpTimeouts kFast{2000, 2000, 100};

// A listening loopback socket on a free port.
SocketHandle ListenOnLoopback(std::uint16_t& port) {
  static const net::SocketSession sockets;  // for the test's own sockets
  SocketHandle fd(net::OpenStreamSocket(AF_INET, 0));
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof where;
  EXPECT_EQ(::bind(fd.get(), reinterpret_cast<sockaddr*>(&where), size), 0);
  EXPECT_EQ(::listen(fd.get(), 1), 0);
  EXPECT_EQ(::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&where), &size), 0);
  port = ntohs(where.sin_port);
  return fd;
}

bool Readable(NativeSocket fd) { return net::Wait(fd, net::WaitFor::kReadable, kTestWaitMs) > 0; }

// Reads until `count` bytes came, the peer closed, or nothing came for a while.
std::string ReadBytes(NativeSocket fd, std::size_t count) {
  std::string got;
  std::array<char, 512> chunk{};
  while (got.size() < count && Readable(fd)) {
    const std::ptrdiff_t n =
        net::ReceiveSome(fd, chunk.data(), std::min(chunk.size(), count - got.size()));
    if (n <= 0) break;
    got.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return got;
}

void SendBytes(NativeSocket fd, std::string_view bytes) {
  ASSERT_EQ(net::SendSome(fd, bytes.data(), bytes.size()),
            static_cast<std::ptrdiff_t>(bytes.size()));
}

// One connection served by `body` on its own thread.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<void(NativeSocket)> body)
      : listener_(ListenOnLoopback(port_)) {
    thread_ = std::thread([this, work = std::move(body)] {
      if (!Readable(listener_.get())) return;
      const SocketHandle connection(net::AcceptConnection(listener_.get()));
      if (connection.valid()) work(connection.get());
    });
  }
  ~LoopbackServer() { Join(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] std::uint16_t port() const { return port_; }

 private:
  std::uint16_t port_ = 0;
  SocketHandle listener_;
  std::thread thread_;
};

TEST(TcpLink, SendsEveryByteAndReceivesTheReply) {
  std::string received;
  LoopbackServer server([&](NativeSocket fd) {
    received = ReadBytes(fd, 12);
    SendBytes(fd, "?MODEL  :HX320  \r\n");
    ReadBytes(fd, 1);  // until the link closes
  });
  TcpLink link("127.0.0.1", server.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  EXPECT_EQ(link.lastErrorCode(), 0);
  EXPECT_TRUE(
      link.Send("\x1b"
                "eON"));
  EXPECT_TRUE(link.Send("LINE?MOD"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length)) << link.LastError();
  EXPECT_EQ(std::string(reply.data(), length), "?MODEL  :HX320  \r\n");
  EXPECT_EQ(reply[length], '\0');
  link.Close();
  server.Join();
  EXPECT_EQ(received,
            "\x1b"
            "eONLINE?MOD");
}

TEST(TcpLink, ReplyInPiecesIsJoinedUntilThePrinterIsQuiet) {
  LoopbackServer server([](NativeSocket fd) {
    SendBytes(fd, "FIRST ");
    // A pause far shorter than the link's quiet time (1.5 s) before the rest.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SendBytes(fd, "SECOND");
    ReadBytes(fd, 1);
  });
  TcpLink link("127.0.0.1", server.port(), {2000, 2000, 1500});
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(std::string(reply.data(), length), "FIRST SECOND");
}

TEST(TcpLink, ReplyLongerThanTheBufferIsCutAt4096) {
  std::string sent;
  for (int i = 0; sent.size() < 5000; ++i) sent += static_cast<char>('A' + i % 26);
  LoopbackServer server([&](NativeSocket fd) {
    SendBytes(fd, sent);
    ReadBytes(fd, 1);
  });
  TcpLink link("127.0.0.1", server.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length));
  EXPECT_EQ(length, 4096U);
  EXPECT_EQ(std::string(reply.data(), length), sent.substr(0, 4096));
}

TEST(TcpLink, SilentPrinterGivesNoReplyAfterTheReceiveTimeOut) {
  LoopbackServer server([](NativeSocket fd) { ReadBytes(fd, 1); });
  TcpLink link("127.0.0.1", server.port(), {2000, 150, 100});
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  std::array<char, 4096> reply{};
  reply.fill('x');
  std::size_t length = 7;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(reply[0], '\0');
  EXPECT_EQ(link.LastError(),
            "no answer from 127.0.0.1:" + std::to_string(server.port()) + " within 0.15 s");
  EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), net::SocketErrorKind::kTimedOut);
}

TEST(TcpLink, PrinterClosingWithoutAnAnswerGivesNoReply) {
  LoopbackServer server([](NativeSocket) {});
  TcpLink link("127.0.0.1", server.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link.Receive(reply, length));
  EXPECT_NE(link.LastError().find("closed the connection"), std::string::npos);
}

std::uint16_t ClosedPort() {
  std::uint16_t port = 0;
  ListenOnLoopback(port);  // bound and closed again at once
  return port;
}

TEST(TcpLink, RefusedConnectionIsExplained) {
  const std::uint16_t port = ClosedPort();
  TcpLink link("127.0.0.1", port, kFast);
  const LinkOpening opening = link.Open(LinkRoute::kLan);
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link.LastError(), "the printer at 127.0.0.1:" + std::to_string(port) +
                                  " refused the connection: it is busy with another session or "
                                  "switched off");
  EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), net::SocketErrorKind::kRefused);
  EXPECT_FALSE(link.connected());
}

TEST(TcpLink, FailedSpoolerSessionMakesTheNextSendFail) {
  TcpLink link("127.0.0.1", ClosedPort(), kFast);
  EXPECT_TRUE(link.Open(LinkRoute::kSpoolerSession).open) << "kept for the first send";
  EXPECT_FALSE(link.Send(wire::kOnlineSequence));
  EXPECT_NE(link.LastError().find("refused the connection"), std::string::npos);
}

TEST(TcpLink, NothingGoesOutBeforeConnectingOrAfterEnd) {
  LoopbackServer server([](NativeSocket fd) { ReadBytes(fd, 1); });
  TcpLink link("127.0.0.1", server.port(), kFast);
  EXPECT_FALSE(link.Send("x"));
  link.Open(LinkRoute::kSpoolerSession);
  EXPECT_TRUE(link.connected());
  link.Close();
  EXPECT_FALSE(link.connected());
  EXPECT_FALSE(link.Send("x"));
  std::array<char, 4096> reply{};
  std::size_t length = 0;
  EXPECT_FALSE(link.Receive(reply, length));
}

// After the last send the link shuts its side and waits a moment: a printer
// that resets the connection then is a failure; one that closes or keeps the
// connection open is not, and the wait stays short.
struct EndCase {
  const char* name;
  void (*printer)(NativeSocket fd);
  bool failed;
};

class TcpLinkEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(TcpLinkEnd, AfterTheLastSend) {
#ifdef _WIN32
  // Wine closes a socket with a zero linger time as any other: no reset to see.
  if (GetParam().failed) GTEST_SKIP() << "the test's printer cannot reset a connection here";
#endif
  LoopbackServer server(GetParam().printer);
  TcpLink link("127.0.0.1", server.port(), {2000, 2000, 100, 500});
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  ASSERT_TRUE(link.Send("SETTINGS"));
  const auto started = std::chrono::steady_clock::now();
  link.Close();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
  EXPECT_FALSE(link.connected());
  EXPECT_EQ(link.endFailed(), GetParam().failed);
  if (GetParam().failed) {
    EXPECT_THAT(link.LastError(),
                ::testing::StartsWith("the printer at 127.0.0.1:" + std::to_string(server.port()) +
                                      " reset the connection after the last send ("));
  } else {
    EXPECT_EQ(link.LastError(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    ByPrinter, TcpLinkEnd,
    ::testing::Values(EndCase{"ResetsRightAfterReading",
                              [](NativeSocket fd) {
                                ReadBytes(fd, 8);
                                const linger abort{1, 0};  // the close then resets the connection
                                ::setsockopt(fd, SOL_SOCKET, SO_LINGER,
                                             reinterpret_cast<const char*>(&abort), sizeof abort);
                              },
                              true},
                      EndCase{"ClosesAfterReading", [](NativeSocket fd) { ReadBytes(fd, 8); },
                              false},
                      EndCase{"KeepsTheConnectionOpen",
                              [](NativeSocket fd) {
                                ReadBytes(fd, 8);
                                std::this_thread::sleep_for(std::chrono::milliseconds(900));
                              },
                              false},
                      EndCase{"AnswersAndCloses",
                              [](NativeSocket fd) {
                                ReadBytes(fd, 8);
                                SendBytes(fd, "?MODEL  :HX320  \r\n");
                              },
                              false}),
    [](const ::testing::TestParamInfo<EndCase>& param) { return std::string(param.param.name); });

TEST(TcpLink, NameLookupThatDoesNotAnswerFailsAfterItsTimeOut) {
  TcpLink link("printer.example", 9100, {2000, 2000, 100, 500, 200},
               [](const std::string&, const std::string&, const addrinfo&, addrinfo** found) {
                 *found = nullptr;
                 std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                 return EAI_AGAIN;
               });
  const auto started = std::chrono::steady_clock::now();
  const LinkOpening opening = link.Open(LinkRoute::kLan);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
  EXPECT_FALSE(opening.open);
  EXPECT_EQ(opening.message, msg::kLanNoResponse);
  EXPECT_EQ(link.LastError(),
            "the printer address printer.example cannot be resolved within 0.2 s: the name "
            "service does not answer");
  EXPECT_EQ(net::ClassifySocketError(link.lastErrorCode()), net::SocketErrorKind::kTimedOut);
}

TEST(Sockets, ReceiveWithNothingThereWouldBlockOnANonBlockingSocket) {
  LoopbackServer server([](NativeSocket fd) { ReadBytes(fd, 1); });
  SocketHandle socket(net::OpenStreamSocket(AF_INET, 0));
  ASSERT_TRUE(socket.valid());
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  where.sin_port = htons(server.port());
  ASSERT_EQ(::connect(socket.get(), reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  ASSERT_TRUE(net::SetNonBlocking(socket.get(), true));
  std::array<char, 8> buffer{};
  EXPECT_EQ(net::ReceiveSome(socket.get(), buffer.data(), buffer.size()), -1);
  EXPECT_EQ(net::ClassifySocketError(net::LastSocketError()), net::SocketErrorKind::kWouldBlock);
  EXPECT_EQ(net::Wait(socket.get(), net::WaitFor::kReadable, 50), 0);
  EXPECT_GT(net::Wait(socket.get(), net::WaitFor::kWritable, 50), 0);
  socket.Reset();
  EXPECT_FALSE(socket.valid());
}

TEST(Sockets, ErrorCodesAreClassifiedAndExplained) {
  EXPECT_EQ(net::ClassifySocketError(net::TimedOutCode()), net::SocketErrorKind::kTimedOut);
  EXPECT_EQ(net::ClassifySocketError(net::ConnectionResetCode()), net::SocketErrorKind::kOther);
  EXPECT_EQ(net::ClassifySocketError(0), net::SocketErrorKind::kOther);
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

TEST(TcpLink, DefaultsAreThePrinterPortAndTimeOuts) {
  EXPECT_EQ(kTcpDefaultPort, 9100);
  EXPECT_EQ(TcpTimeouts{}.connectMs, 3000U);
  EXPECT_EQ(TcpTimeouts{}.receiveMs, 5000U);
}

// The simulator listening on a loopback port, serving `sessions` sessions on a thread.
class ListeningPrinter {
 public:
  ListeningPrinter(const SettingsRecord& memory, int sessions,
                   const std::function<void(sim::ListenOptions&)>& tune = {})
      : printer_(ModelCode::kHx320, memory) {
    const Expected<void> listening = listener_.Listen({"127.0.0.1", 0});
    EXPECT_TRUE(listening) << listening.error();
    sim::ListenOptions options;
    options.maxSessions = sessions;
    options.acceptTimeoutMs = kTestWaitMs;
    options.idleTimeoutMs = kTestWaitMs;
    if (tune) tune(options);
    thread_ = std::thread([this, options] {
      listener_.Serve(printer_, options, [this](const sim::SessionReport& report) {
        reports_.push_back(report);
        return true;
      });
    });
  }
  ~ListeningPrinter() { Join(); }
  ListeningPrinter(const ListeningPrinter&) = delete;
  ListeningPrinter& operator=(const ListeningPrinter&) = delete;
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] std::uint16_t port() const { return listener_.port(); }
  // Only after Join.
  sim::SimulatedPrinter& printer() { return printer_; }
  const std::vector<sim::SessionReport>& reports() { return reports_; }

 private:
  sim::SimulatedPrinter printer_;
  sim::SimListener listener_;
  std::vector<sim::SessionReport> reports_;
  std::thread thread_;
};

SettingsRecord ChangedSettings() {
  SettingsRecord record = kFactoryDefaults;
  const std::optional<ItemIndex> pitch = sim::ParseItemName("MENU1.PITCH");
  EXPECT_TRUE(pitch.has_value());
  record[*pitch] = static_cast<std::uint8_t>(record[*pitch] == 0 ? 1 : 0);
  return record;
}

TEST(TcpLinkWithSimulator, QueryAnsweredWithTheSettingsInMemory) {
  const SettingsRecord memory = ChangedSettings();
  ListeningPrinter sim(memory, 1);
  TcpLink link("127.0.0.1", sim.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  ASSERT_TRUE(link.Send(wire::kOnlineSequence));
  ASSERT_TRUE(link.Send("?NVRAM  \rEXIT   \r"));
  ReplyBuffer reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length)) << link.LastError();
  link.Close();
  sim.Join();
  const ParsedReply parsed =
      ParseReply(reply, length, ReadMode::kRead, ModelCode::kHx320, 0, kFactoryDefaults);
  EXPECT_EQ(parsed.result, ReadResult::kDone);
  EXPECT_EQ(parsed.staging, memory);
  ASSERT_EQ(sim.reports().size(), 1U);
  EXPECT_EQ(sim.reports()[0].replied, length);
  EXPECT_FALSE(sim.printer().inSetup());
}

TEST(TcpLinkWithSimulator, OnlineSequenceSplitAcrossSendsIsStillRecognised) {
  ListeningPrinter sim(kFactoryDefaults, 1);
  TcpLink link("127.0.0.1", sim.port(), kFast);
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open);
  // Whether or not the pieces arrive apart, the printer must see one online sequence.
  ASSERT_TRUE(link.Send("\x1b"));
  ASSERT_TRUE(link.Send("eONL"));
  ASSERT_TRUE(link.Send("INE?MODEL  \r"));
  ReplyBuffer reply{};
  std::size_t length = 0;
  ASSERT_TRUE(link.Receive(reply, length)) << link.LastError();
  EXPECT_EQ(std::string(reply.data(), length), "?MODEL  :HX320  \r\n");
  link.Close();
}

// A client connected to the simulator on a socket of its own.
SocketHandle Connected(std::uint16_t port) {
  SocketHandle socket(net::OpenStreamSocket(AF_INET, 0));
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  where.sin_port = htons(port);
  EXPECT_EQ(::connect(socket.get(), reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  return socket;
}

TEST(TcpLinkWithSimulator, ASilentClientDoesNotKeepTheNextOneWaiting) {
  ListeningPrinter sim(kFactoryDefaults, 2);  // each session may be idle for 5 s
  const SocketHandle silent = Connected(sim.port());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // its session has begun
  TcpLink link("127.0.0.1", sim.port(), kFast);                 // gives up on a reply after 2 s
  ASSERT_TRUE(link.Open(LinkRoute::kLan).open) << link.LastError();
  ASSERT_TRUE(link.Send(wire::kOnlineSequence));
  ASSERT_TRUE(link.Send("?MODEL  \rEXIT   \r"));
  ReplyBuffer reply{};
  std::size_t length = 0;
  EXPECT_TRUE(link.Receive(reply, length)) << link.LastError();
  EXPECT_EQ(std::string(reply.data(), length), "?MODEL  :HX320  \r\n");
  link.Close();
  sim.Join();
  ASSERT_EQ(sim.reports().size(), 2U);
  EXPECT_EQ(sim.reports()[0].end, sim::SessionEnd::kGaveWay);
}

TEST(TcpLinkWithSimulator, ASessionEndsAtItsLimitHoweverOftenTheClientSends) {
  ListeningPrinter sim(kFactoryDefaults, 1,
                       [](sim::ListenOptions& options) { options.sessionLimitMs = 500; });
  const SocketHandle client = Connected(sim.port());
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

// A failed accept: one that may pass is said and tried again, any other
// stops serving with its reason.
struct AcceptCase {
  const char* name;
  int code;
  bool passes;
};

class SimAcceptFailure : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(SimAcceptFailure, IsReported) {
  sim::SimulatedPrinter printer(ModelCode::kHx320, kFactoryDefaults);
  sim::SimListener listener;
  const Expected<void> listening = listener.Listen({"127.0.0.1", 0});
  ASSERT_TRUE(listening) << listening.error();
  int calls = 0;
  listener.UseAcceptor([&](NativeSocket socket, int& code) {
    if (++calls == 1) {
      code = GetParam().code;
      return kNoSocket;
    }
    const NativeSocket accepted = net::AcceptConnection(socket);
    code = net::LastSocketError();
    return accepted;
  });
  std::vector<std::string> notes;
  listener.ReportTo([&](const std::string& note) { notes.push_back(note); });
  sim::ListenOptions options;
  options.maxSessions = 1;
  options.acceptTimeoutMs = kTestWaitMs;
  options.idleTimeoutMs = kTestWaitMs;
  int served = -1;
  std::thread serving([&] { served = listener.Serve(printer, options, {}); });
  {
    const SocketHandle client = Connected(listener.port());
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
  }
  serving.join();
  const std::string reason =
      "accepting a connection failed: " + net::SocketErrorText(GetParam().code);
  if (GetParam().passes) {
    EXPECT_EQ(served, 1);
    EXPECT_EQ(listener.failure(), "");
    EXPECT_EQ(notes, std::vector<std::string>{reason + "; trying again"});
  } else {
    EXPECT_EQ(served, 0);
    EXPECT_EQ(listener.failure(), reason);
    EXPECT_TRUE(notes.empty());
  }
}

#ifdef _WIN32
constexpr int kTooManyFiles = WSAEMFILE;
constexpr int kNotASocket = WSAENOTSOCK;
#else
constexpr int kTooManyFiles = EMFILE;
constexpr int kNotASocket = ENOTSOCK;
#endif

INSTANTIATE_TEST_SUITE_P(ByCode, SimAcceptFailure,
                         ::testing::Values(AcceptCase{"OutOfDescriptors", kTooManyFiles, true},
                                           AcceptCase{"NotASocket", kNotASocket, false}),
                         [](const ::testing::TestParamInfo<AcceptCase>& param) {
                           return std::string(param.param.name);
                         });

TEST_F(OperationTest, TransferAndReadThroughTcpReachTheSimulator) {
  const SettingsRecord wanted = ChangedSettings();
  ListeningPrinter sim(kFactoryDefaults, 2);
  TcpLink tcp("127.0.0.1", sim.port(), kFast);
  PrinterOperationContext overTcp{state, tcp, clock, host, cursor, boxes, pages};
  state.selectedPrinter.portState = kPortLan;
  state.selectedPrinter.modelCode = ModelCode::kHx320;
  state.settings = wanted;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, overTcp), WriteResult::kDone)
      << tcp.LastError();
  state.settings = kFactoryDefaults;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, overTcp), ReadResult::kDone)
      << tcp.LastError();
  EXPECT_EQ(state.settings, wanted);
  sim.Join();
  EXPECT_EQ(sim.printer().memory(), wanted);
  ASSERT_EQ(sim.reports().size(), 2U);
  EXPECT_EQ(sim.reports()[0].refusedSends, 0);
  EXPECT_EQ(sim.reports()[0].replied, 0U);
}

TEST_F(OperationTest, ReadFromAnAbsentTcpPrinterShowsTheLanMessage) {
  TcpLink tcp("127.0.0.1", ClosedPort(), kFast);
  PrinterOperationContext overTcp{state, tcp, clock, host, cursor, boxes, pages};
  state.selectedPrinter.portState = kPortLan;
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, overTcp), ReadResult::kFailed);
  EXPECT_THAT(log.calls, ::testing::Contains(Box(msg::kIconError, msg::kLanNoResponse)));
}

}  // namespace
}  // namespace rovant::testing
