// SxJcp32.dll and the Windows loader, for real: the library built beside this program, loaded the
// way the setup program loads it, talking TCP to loopback servers. Its export table is
// pe_images'; the whole LAN road to the simulator is wine_tcp_end_to_end's and the e2e LAN tests'.
// clang-format off
#include "tests/fakes/loopback_server.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "connection/lan_loader_win32.hpp"
#include "lanlib/sxjcp_api.h"
#include "platform/win32/proc_address.hpp"
#include "platform/win32/unique_handle.hpp"

namespace rovant::testing {
namespace {

// The copy of the library built without SxSendICMP (tests/CMakeLists.txt).
constexpr const char* kLibraryWithoutIcmp = "SxJcpNoIcmp.dll";

win32::UniqueModule LoadBeside(const char* name) {
  return win32::UniqueModule(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR));
}

// The library loaded directly, every entry point bound as its declaration.
struct Library {
  win32::UniqueModule module = LoadBeside(kLanLibraryFileName);
#define SXJCP_BIND(name) \
  name##Proc name = win32::ProcAddress<decltype(::name)>(module.get(), #name);
  SXJCP_ENTRY_POINTS(SXJCP_BIND)
#undef SXJCP_BIND
};

// The library's port (it reads it at SxOpenPort).
void AimLibraryAt(std::uint16_t port) {
  ::SetEnvironmentVariableA("ROVANT_LAN_TCP_PORT", std::to_string(port).c_str());
}

// Where the library is built: beside this program.
std::filesystem::path BesideTheProgram() {
  std::array<char, MAX_PATH> program{};
  EXPECT_GT(::GetModuleFileNameA(nullptr, program.data(), MAX_PATH), 0U);
  return std::filesystem::path(program.data()).parent_path() / kLanLibraryFileName;
}

TEST(LanLoader, LibraryLackingAnEntryPointIsNotUsedAndUnloaded) {
  ASSERT_TRUE(LoadBeside(kLibraryWithoutIcmp)) << "the test's broken copy is missing";
  Win32LanLoader loader(kLibraryWithoutIcmp);
  EXPECT_EQ(loader.Load(), nullptr);
  EXPECT_EQ(::GetModuleHandleA(kLibraryWithoutIcmp), nullptr);
}

TEST(LanLoader, NamesWithAFolderAreRefused) {
  EXPECT_NE(Win32LanLoader().Load(), nullptr) << "the bare name is loaded";
  const std::filesystem::path beside = BesideTheProgram();
  for (const std::string& name : {std::string(".\\SxJcp32.dll"), std::string("./SxJcp32.dll"),
                                  beside.string(), beside.generic_string(), std::string()}) {
    Win32LanLoader loader(name);
    EXPECT_EQ(loader.Load(), nullptr) << name;
  }
}

// The current folder is where a planted library would wait: it is never searched.
TEST(LanLoader, LibraryInTheCurrentFolderOnlyIsNotLoaded) {
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path(error) /
      ("rovant-planted-" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(folder, error);
  const std::filesystem::path planted = folder / "SxJcpPlanted.dll";
  ASSERT_TRUE(std::filesystem::copy_file(BesideTheProgram(), planted,
                                         std::filesystem::copy_options::overwrite_existing, error))
      << error.message();
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  std::unique_ptr<LanLibrary> library = Win32LanLoader("SxJcpPlanted.dll").Load();
  std::filesystem::current_path(before);
  EXPECT_EQ(library, nullptr);
  // The copy itself is a good library: by its full path it loads.
  EXPECT_TRUE(win32::UniqueModule(::LoadLibraryA(planted.string().c_str())));
  std::filesystem::remove_all(folder, error);
}

// Each failed call leaves its reason for SxGetError: the one of the failed open on
// INVALID_HANDLE_VALUE, a handle's own on it.
TEST(LanLibrary, FailedCallsLeaveTheirReason) {
  const Library sx;
  ASSERT_TRUE(sx.module);
  EXPECT_EQ(sx.SxOpenPort("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(sx.SxGetError(INVALID_HANDLE_VALUE), static_cast<DWORD>(WSANOTINITIALISED));
  EXPECT_EQ(sx.SxCleanup(), FALSE);
  AimLibraryAt(ClosedPort());
  ASSERT_TRUE(sx.SxStartup(nullptr));
  EXPECT_EQ(sx.SxOpenPort("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(sx.SxGetError(INVALID_HANDLE_VALUE), static_cast<DWORD>(WSAECONNREFUSED));
  // NOLINTNEXTLINE: a handle the library never gave out.
  const HANDLE unknown = reinterpret_cast<HANDLE>(std::uintptr_t{3});
  EXPECT_EQ(sx.SxClosePort(unknown), FALSE);
  std::array<char, 16> buffer{};
  DWORD count = 99;
  EXPECT_EQ(sx.SxReadPort(unknown, buffer.data(), buffer.size(), &count), FALSE);
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(sx.SxGetError(unknown), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(sx.SxCleanup());
}

TEST(LanLibrary, ReplyLongerThanTheCallersBufferIsCut) {
  LoopbackServer server([](NativeSocket fd) {
    SendBytes(fd, "0123456789");
    ReadBytes(fd, 1);
  });
  AimLibraryAt(server.port());
  const Library sx;
  ASSERT_TRUE(sx.module);
  ASSERT_TRUE(sx.SxStartup(nullptr));
  const HANDLE port = sx.SxOpenPort("127.0.0.1");
  ASSERT_NE(port, INVALID_HANDLE_VALUE);
  std::array<char, 4> buffer{};
  DWORD count = 0;
  EXPECT_TRUE(sx.SxReadPort(port, buffer.data(), 4, &count));
  EXPECT_EQ(std::string(buffer.data(), count), "0123");
  EXPECT_TRUE(sx.SxClosePort(port));
  EXPECT_TRUE(sx.SxCleanup());
}

TEST(LanLibrary, EntryPointsBeyondTheSevenAreNotSupported) {
  const Library sx;
  ASSERT_TRUE(sx.module);
  EXPECT_EQ(sx.SxOpenStatus("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(sx.SxOpenSearch(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(sx.SxSetUseICMP(TRUE), FALSE);
  EXPECT_EQ(sx.SxSendICMP("127.0.0.1", 100), FALSE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  std::array<char, 8> buffer{};
  DWORD count = 5;
  EXPECT_EQ(sx.SxGetStatus(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
  count = 5;
  EXPECT_EQ(sx.SxSendSearch(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
}

}  // namespace
}  // namespace rovant::testing
