// SxJcp32.dll and the Windows loader, for real: the library built beside this
// program, loaded the way the setup program loads it, talking TCP to loopback
// servers and to the simulator listening in this process.
// clang-format off
#include "connection/socket_system.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "connection/lan_connection.hpp"
#include "connection/lan_loader_win32.hpp"
#include "connection/mailbox_link.hpp"
#include "connection/memory_mailbox_platform.hpp"
#include "connection/reply_mailbox.hpp"
#include "connection/socket_api.hpp"
#include "lanlib/sxjcp_api.h"
#include "model/catalogue.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "sim/sim_listen.hpp"
#include "sim/sim_program.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::testing {
namespace {

constexpr int kTestWaitMs = 5000;  // the longest any test side waits for the other
// The copy of the library built without SxSendICMP (tests/CMakeLists.txt).
constexpr const char* kLibraryWithoutIcmp = "SxJcpNoIcmp.dll";

// An environment variable set for one test (the library reads them at SxOpenPort).
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    ::SetEnvironmentVariableA(name_, value.c_str());
  }
  ~ScopedEnvironment() { ::SetEnvironmentVariableA(name_, nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
};

// The library's port and short time-outs, for one test.
class LibraryTarget {
 public:
  explicit LibraryTarget(std::uint16_t port)
      : port_("ROVANT_LAN_TCP_PORT", std::to_string(port)),
        connect_("ROVANT_LAN_CONNECT_MS", "2000"),
        receive_("ROVANT_LAN_RECEIVE_MS", "2000"),
        quiet_("ROVANT_LAN_QUIET_MS", "100") {}

 private:
  ScopedEnvironment port_, connect_, receive_, quiet_;
};

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

std::uint16_t ClosedPort() {
  std::uint16_t port = 0;
  ListenOnLoopback(port);  // bound and closed again at once
  return port;
}

// Reads until `count` bytes came, the peer closed, or nothing came for a while.
std::string ReadBytes(NativeSocket fd, std::size_t count) {
  std::string got;
  std::array<char, 512> chunk{};
  while (got.size() < count && net::Wait(fd, net::WaitFor::kReadable, kTestWaitMs) > 0) {
    const std::ptrdiff_t n =
        net::ReceiveSome(fd, chunk.data(), std::min(chunk.size(), count - got.size()));
    if (n <= 0) break;
    got.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return got;
}

// One connection served by `body` on its own thread.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<void(NativeSocket)> body)
      : listener_(ListenOnLoopback(port_)) {
    thread_ = std::thread([this, work = std::move(body)] {
      if (net::Wait(listener_.get(), net::WaitFor::kReadable, kTestWaitMs) <= 0) return;
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

// The library loaded directly, for the calls the LanLibrary interface does not show.
class RawLibrary {
 public:
  explicit RawLibrary(const char* name)
      : module_(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR)) {}
  ~RawLibrary() {
    if (module_ != nullptr) ::FreeLibrary(module_);
  }
  RawLibrary(const RawLibrary&) = delete;
  RawLibrary& operator=(const RawLibrary&) = delete;
  [[nodiscard]] HMODULE module() const { return module_; }
  template <typename Proc>
  Proc Entry(const char* name) const {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

// The names in a loaded module's export table.
std::vector<std::string> ExportedNames(HMODULE module) {
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  std::vector<std::string> names;
  if (entry.VirtualAddress == 0) return names;
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
  }
  return names;
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(LanLibrary, ExportsExactlyTheSeventeenPlainNames) {
  const RawLibrary library(kLanLibraryFileName);
  ASSERT_NE(library.module(), nullptr) << "SxJcp32.dll is not beside the test program";
  std::vector<std::string> expected(std::begin(kSxJcpEntryPointNames),
                                    std::end(kSxJcpEntryPointNames));
  EXPECT_THAT(ExportedNames(library.module()), ::testing::UnorderedElementsAreArray(expected));
}

TEST(LanLoader, LoadsBindsAndExchangesBytesWithThePrinter) {
  std::string received;
  LoopbackServer server([&](NativeSocket fd) {
    received = ReadBytes(fd, 9);
    ASSERT_EQ(net::SendSome(fd, "?MODEL  :HX320  \r\n", 18), 18);
    ReadBytes(fd, 1);  // until the port is closed
  });
  const LibraryTarget target(server.port());
  Win32LanLoader loader;
  std::unique_ptr<LanLibrary> library = loader.Load();
  ASSERT_NE(library, nullptr);
  ASSERT_TRUE(library->Startup());
  const LanPort port = library->OpenPort("127.0.0.1");
  ASSERT_NE(port, kLanNoPort);
  std::size_t written = 0;
  EXPECT_TRUE(library->WritePort(port,
                                 Bytes("\x1b"
                                       "eONLINE?"),
                                 written));
  EXPECT_EQ(written, 9U);
  std::array<std::uint8_t, 4096> buffer{};
  std::size_t count = 0;
  ASSERT_TRUE(library->ReadPort(port, buffer, count));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), count),
            "?MODEL  :HX320  \r\n");
  EXPECT_TRUE(library->ClosePort(port));
  EXPECT_TRUE(library->Cleanup());
  server.Join();
  EXPECT_EQ(received,
            "\x1b"
            "eONLINE?");
}

TEST(LanLoader, RefusedPortGivesNoPortAndTheRefusedCode) {
  const LibraryTarget target(ClosedPort());
  Win32LanLoader loader;
  std::unique_ptr<LanLibrary> library = loader.Load();
  ASSERT_NE(library, nullptr);
  ASSERT_TRUE(library->Startup());
  EXPECT_EQ(library->OpenPort("127.0.0.1"), kLanNoPort);
  const RawLibrary raw(kLanLibraryFileName);  // the same module, one more reference
  const auto getError = raw.Entry<SxGetErrorProc>("SxGetError");
  EXPECT_EQ(getError(INVALID_HANDLE_VALUE), static_cast<DWORD>(WSAECONNREFUSED));
  EXPECT_TRUE(library->Cleanup());
}

TEST(LanLoader, LibraryLackingAnEntryPointIsNotUsedAndUnloaded) {
  {
    const RawLibrary broken(kLibraryWithoutIcmp);
    ASSERT_NE(broken.module(), nullptr) << "the test's broken copy is missing";
    EXPECT_EQ(ExportedNames(broken.module()).size(), 16U);
  }
  Win32LanLoader loader(kLibraryWithoutIcmp);
  EXPECT_EQ(loader.Load(), nullptr);
  EXPECT_EQ(::GetModuleHandleA(kLibraryWithoutIcmp), nullptr);
}

TEST(LanLoader, NamesWithAFolderAreRefused) {
  std::array<char, MAX_PATH> program{};
  ASSERT_GT(::GetModuleFileNameA(nullptr, program.data(), MAX_PATH), 0U);
  const std::string beside =
      (std::filesystem::path(program.data()).parent_path() / kLanLibraryFileName).string();
  for (const std::string& name : {std::string(".\\SxJcp32.dll"), beside, std::string()}) {
    Win32LanLoader loader(name);
    EXPECT_EQ(loader.Load(), nullptr) << name;
  }
}

// The current folder is where a planted library would wait: it is never searched.
TEST(LanLoader, LibraryInTheCurrentFolderOnlyIsNotLoaded) {
  std::array<char, MAX_PATH> program{};
  ASSERT_GT(::GetModuleFileNameA(nullptr, program.data(), MAX_PATH), 0U);
  const std::filesystem::path original =
      std::filesystem::path(program.data()).parent_path() / kLanLibraryFileName;
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path(error) /
      ("rovant-planted-" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(folder, error);
  const std::filesystem::path planted = folder / "SxJcpPlanted.dll";
  ASSERT_TRUE(std::filesystem::copy_file(original, planted,
                                         std::filesystem::copy_options::overwrite_existing, error))
      << error.message();
  std::array<char, MAX_PATH> before{};
  ASSERT_GT(::GetCurrentDirectoryA(MAX_PATH, before.data()), 0U);
  ASSERT_TRUE(::SetCurrentDirectoryA(folder.string().c_str()));
  std::unique_ptr<LanLibrary> library = Win32LanLoader("SxJcpPlanted.dll").Load();
  ::SetCurrentDirectoryA(before.data());
  EXPECT_EQ(library, nullptr);
  // The copy itself is a good library: by its full path it loads.
  const HMODULE direct = ::LoadLibraryA(planted.string().c_str());
  EXPECT_NE(direct, nullptr);
  if (direct != nullptr) ::FreeLibrary(direct);
  std::filesystem::remove_all(folder, error);
}

TEST(LanLibrary, CallsOutsideStartupAndOnUnknownPortsFail) {
  const RawLibrary raw(kLanLibraryFileName);
  ASSERT_NE(raw.module(), nullptr);
  const auto openPort = raw.Entry<SxOpenPortProc>("SxOpenPort");
  const auto cleanup = raw.Entry<SxCleanupProc>("SxCleanup");
  const auto closePort = raw.Entry<SxClosePortProc>("SxClosePort");
  const auto readPort = raw.Entry<SxReadPortProc>("SxReadPort");
  const auto getError = raw.Entry<SxGetErrorProc>("SxGetError");
  EXPECT_EQ(openPort("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(getError(INVALID_HANDLE_VALUE), static_cast<DWORD>(WSANOTINITIALISED));
  EXPECT_EQ(cleanup(), FALSE);
  // NOLINTNEXTLINE: a handle the library never gave out.
  const HANDLE unknown = reinterpret_cast<HANDLE>(std::uintptr_t{3});
  EXPECT_EQ(closePort(unknown), FALSE);
  std::array<char, 16> buffer{};
  DWORD count = 99;
  EXPECT_EQ(readPort(unknown, buffer.data(), buffer.size(), &count), FALSE);
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(getError(unknown), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(LanLibrary, ReplyLongerThanTheCallersBufferIsCut) {
  LoopbackServer server([](NativeSocket fd) {
    ASSERT_EQ(net::SendSome(fd, "0123456789", 10), 10);
    ReadBytes(fd, 1);
  });
  const LibraryTarget target(server.port());
  const RawLibrary raw(kLanLibraryFileName);
  ASSERT_NE(raw.module(), nullptr);
  ASSERT_TRUE(raw.Entry<SxStartupProc>("SxStartup")(nullptr));
  const HANDLE port = raw.Entry<SxOpenPortProc>("SxOpenPort")("127.0.0.1");
  ASSERT_NE(port, INVALID_HANDLE_VALUE);
  std::array<char, 4> buffer{};
  DWORD count = 0;
  EXPECT_TRUE(raw.Entry<SxReadPortProc>("SxReadPort")(port, buffer.data(), 4, &count));
  EXPECT_EQ(std::string(buffer.data(), count), "0123");
  EXPECT_TRUE(raw.Entry<SxClosePortProc>("SxClosePort")(port));
  EXPECT_TRUE(raw.Entry<SxCleanupProc>("SxCleanup")());
}

TEST(LanLibrary, EntryPointsBeyondTheSevenAreNotSupported) {
  const RawLibrary raw(kLanLibraryFileName);
  ASSERT_NE(raw.module(), nullptr);
  using OpenStatus = HANDLE(WINAPI*)(const char*);
  using OpenSearch = HANDLE(WINAPI*)();
  using Flag = BOOL(WINAPI*)(BOOL);
  using Icmp = BOOL(WINAPI*)(const char*, DWORD);
  using Count = BOOL(WINAPI*)(HANDLE, void*, DWORD, DWORD*);
  EXPECT_EQ(raw.Entry<OpenStatus>("SxOpenStatus")("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(raw.Entry<OpenSearch>("SxOpenSearch")(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(raw.Entry<Flag>("SxSetUseICMP")(TRUE), FALSE);
  EXPECT_EQ(raw.Entry<Icmp>("SxSendICMP")("127.0.0.1", 100), FALSE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  std::array<char, 8> buffer{};
  DWORD count = 5;
  EXPECT_EQ(raw.Entry<Count>("SxGetStatus")(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
  count = 5;
  EXPECT_EQ(raw.Entry<Count>("SxSendSearch")(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
}

// The simulator listening on a loopback port in this process.
class ListeningPrinter {
 public:
  ListeningPrinter(const SettingsRecord& memory, int sessions)
      : printer_(ModelCode::kHx320, memory) {
    const Expected<void> listening = listener_.Listen({"127.0.0.1", 0});
    EXPECT_TRUE(listening) << listening.error();
    sim::ListenOptions options;
    options.maxSessions = sessions;
    options.acceptTimeoutMs = kTestWaitMs;
    options.idleTimeoutMs = kTestWaitMs;
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

// The setup program's LAN road: mailbox link, LAN connection, the Windows
// loader and the real library.
class LanThroughLibrary : public OperationTest {
 protected:
  LanThroughLibrary() {
    state.selectedPrinter.portState = kPortLan;
    state.selectedPrinter.modelCode = ModelCode::kHx320;
  }
  Win32LanLoader loader;
  LanConnection lan{loader, clock, boxes, kOwner};
  MemoryMailbox shared;
  MemoryMailboxPlatform platform{shared};
  ReplyMailbox mailbox{platform, clock};
  // The port name "127.0.0.1:lp" cut at its first colon, as the program passes it.
  MailboxLink lanLink{mailbox, lan, "127.0.0.1"};
  PrinterOperationContext viaLan{state, lanLink, clock, host, cursor, boxes, pages};
};

SettingsRecord ChangedSettings() {
  SettingsRecord record = kFactoryDefaults;
  const std::optional<ItemIndex> pitch = sim::ParseItemName("MENU1.PITCH");
  EXPECT_TRUE(pitch.has_value());
  record[*pitch] = static_cast<std::uint8_t>(record[*pitch] == 0 ? 1 : 0);
  return record;
}

TEST_F(LanThroughLibrary, TransferIsStoredAndReadBack) {
  const SettingsRecord wanted = ChangedSettings();
  ListeningPrinter sim(kFactoryDefaults, 2);
  const LibraryTarget target(sim.port());
  state.settings = wanted;
  ASSERT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, viaLan), WriteResult::kDone)
      << ::testing::PrintToString(log.calls);
  state.settings = kFactoryDefaults;
  ASSERT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, viaLan), ReadResult::kDone)
      << ::testing::PrintToString(log.calls);
  EXPECT_EQ(state.settings, wanted);
  EXPECT_FALSE(lan.IsOpen());
  sim.Join();
  EXPECT_EQ(sim.printer().memory(), wanted);
  ASSERT_EQ(sim.reports().size(), 2U);
  EXPECT_EQ(sim.reports()[0].refusedSends, 0);
  EXPECT_EQ(sim.reports()[1].refusedSends, 0);
  EXPECT_GT(sim.reports()[1].replied, 2000U);
  EXPECT_EQ(mailbox.mirror().length(), sim.reports()[1].replied);
  EXPECT_THAT(log.calls, ::testing::Not(::testing::Contains(::testing::StartsWith("box "))));
}

TEST_F(LanThroughLibrary, RefusedPortShowsNoResponseFromPrinter) {
  const LibraryTarget target(ClosedPort());
  EXPECT_EQ(ReadPrinterSettings(ReadMode::kRead, kOwner, viaLan), ReadResult::kFailed);
  EXPECT_THAT(log.calls, ::testing::Contains(Box(msg::kIconError, msg::kLanNoResponse)));
  EXPECT_FALSE(lan.IsOpen());
}

}  // namespace
}  // namespace rovant::testing
