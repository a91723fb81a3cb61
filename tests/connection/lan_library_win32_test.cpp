// SxJcp32.dll and the Windows loader, for real: the library built beside this
// program, loaded the way the setup program loads it, talking TCP to loopback
// servers. The whole LAN road to the simulator is wine_tcp_end_to_end's.
// clang-format off
#include "tests/fakes/loopback_server.hpp"  // Winsock's header must come before <windows.h>
// clang-format on
#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "connection/lan_loader_win32.hpp"
#include "lanlib/sxjcp_api.h"

namespace rovant::testing {
namespace {

// The copy of the library built without SxSendICMP (tests/CMakeLists.txt).
constexpr const char* kLibraryWithoutIcmp = "SxJcpNoIcmp.dll";

// The library's port and short time-outs (it reads them at SxOpenPort).
void AimLibraryAt(std::uint16_t port) {
  ::SetEnvironmentVariableA("ROVANT_LAN_TCP_PORT", std::to_string(port).c_str());
  for (const char* name : {"ROVANT_LAN_CONNECT_MS", "ROVANT_LAN_RECEIVE_MS"})
    ::SetEnvironmentVariableA(name, "2000");
  ::SetEnvironmentVariableA("ROVANT_LAN_QUIET_MS", "100");
}

// Where the library is built: beside this program.
std::filesystem::path BesideTheProgram() {
  std::array<char, MAX_PATH> program{};
  EXPECT_GT(::GetModuleFileNameA(nullptr, program.data(), MAX_PATH), 0U);
  return std::filesystem::path(program.data()).parent_path() / kLanLibraryFileName;
}

// The library loaded directly, for the calls the LanLibrary interface does not show.
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)>;
Module LoadRaw(const char* name) {
  return {::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR), &::FreeLibrary};
}
template <typename Proc>
Proc Entry(const Module& module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(::GetProcAddress(module.get(), name)));
}

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

TEST(LanLibrary, ExportsExactlyTheSeventeenPlainNames) {
  const Module library = LoadRaw(kLanLibraryFileName);
  ASSERT_NE(library.get(), nullptr) << "SxJcp32.dll is not beside the test program";
  std::vector<std::string> expected(std::begin(kSxJcpEntryPointNames),
                                    std::end(kSxJcpEntryPointNames));
  EXPECT_THAT(ExportedNames(library.get()), ::testing::UnorderedElementsAreArray(expected));
}

TEST(LanLoader, RefusedPortGivesNoPortAndTheRefusedCode) {
  AimLibraryAt(ClosedPort());
  Win32LanLoader loader;
  std::unique_ptr<LanLibrary> library = loader.Load();
  ASSERT_NE(library, nullptr);
  ASSERT_TRUE(library->Startup());
  EXPECT_EQ(library->OpenPort("127.0.0.1"), kLanNoPort);
  const Module raw = LoadRaw(kLanLibraryFileName);  // the same module, one more reference
  const auto getError = Entry<SxGetErrorProc>(raw, "SxGetError");
  EXPECT_EQ(getError(INVALID_HANDLE_VALUE), static_cast<DWORD>(WSAECONNREFUSED));
  EXPECT_TRUE(library->Cleanup());
}

TEST(LanLoader, LibraryLackingAnEntryPointIsNotUsedAndUnloaded) {
  {
    const Module broken = LoadRaw(kLibraryWithoutIcmp);
    ASSERT_NE(broken.get(), nullptr) << "the test's broken copy is missing";
    EXPECT_EQ(ExportedNames(broken.get()).size(), 16U);
  }
  Win32LanLoader loader(kLibraryWithoutIcmp);
  EXPECT_EQ(loader.Load(), nullptr);
  EXPECT_EQ(::GetModuleHandleA(kLibraryWithoutIcmp), nullptr);
}

TEST(LanLoader, NamesWithAFolderAreRefused) {
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
  const Module raw = LoadRaw(kLanLibraryFileName);
  ASSERT_NE(raw.get(), nullptr);
  const auto openPort = Entry<SxOpenPortProc>(raw, "SxOpenPort");
  const auto cleanup = Entry<SxCleanupProc>(raw, "SxCleanup");
  const auto closePort = Entry<SxClosePortProc>(raw, "SxClosePort");
  const auto readPort = Entry<SxReadPortProc>(raw, "SxReadPort");
  const auto getError = Entry<SxGetErrorProc>(raw, "SxGetError");
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
    SendBytes(fd, "0123456789");
    ReadBytes(fd, 1);
  });
  AimLibraryAt(server.port());
  const Module raw = LoadRaw(kLanLibraryFileName);
  ASSERT_NE(raw.get(), nullptr);
  ASSERT_TRUE(Entry<SxStartupProc>(raw, "SxStartup")(nullptr));
  const HANDLE port = Entry<SxOpenPortProc>(raw, "SxOpenPort")("127.0.0.1");
  ASSERT_NE(port, INVALID_HANDLE_VALUE);
  std::array<char, 4> buffer{};
  DWORD count = 0;
  EXPECT_TRUE(Entry<SxReadPortProc>(raw, "SxReadPort")(port, buffer.data(), 4, &count));
  EXPECT_EQ(std::string(buffer.data(), count), "0123");
  EXPECT_TRUE(Entry<SxClosePortProc>(raw, "SxClosePort")(port));
  EXPECT_TRUE(Entry<SxCleanupProc>(raw, "SxCleanup")());
}

TEST(LanLibrary, EntryPointsBeyondTheSevenAreNotSupported) {
  const Module raw = LoadRaw(kLanLibraryFileName);
  ASSERT_NE(raw.get(), nullptr);
  using OpenStatus = HANDLE(WINAPI*)(const char*);
  using OpenSearch = HANDLE(WINAPI*)();
  using Flag = BOOL(WINAPI*)(BOOL);
  using Icmp = BOOL(WINAPI*)(const char*, DWORD);
  using Count = BOOL(WINAPI*)(HANDLE, void*, DWORD, DWORD*);
  EXPECT_EQ(Entry<OpenStatus>(raw, "SxOpenStatus")("127.0.0.1"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Entry<OpenSearch>(raw, "SxOpenSearch")(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Entry<Flag>(raw, "SxSetUseICMP")(TRUE), FALSE);
  EXPECT_EQ(Entry<Icmp>(raw, "SxSendICMP")("127.0.0.1", 100), FALSE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  std::array<char, 8> buffer{};
  DWORD count = 5;
  EXPECT_EQ(Entry<Count>(raw, "SxGetStatus")(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
  count = 5;
  EXPECT_EQ(Entry<Count>(raw, "SxSendSearch")(nullptr, buffer.data(), 8, &count), FALSE);
  EXPECT_EQ(count, 0U);
}

}  // namespace
}  // namespace rovant::testing
