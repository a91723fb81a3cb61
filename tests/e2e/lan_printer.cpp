#include "tests/e2e/lan_printer.hpp"

#include <charconv>
#include <fstream>
#include <iterator>

#include "testbed/uidriver/windows.hpp"

namespace rovant::e2e {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kListenWaitMs = 15000;
constexpr DWORD kStopWaitMs = 5000;
constexpr std::string_view kListening = "listening on 127.0.0.1:";

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The port in the simulator's "listening on 127.0.0.1:PORT" line; 0 until it is there.
std::uint16_t ListeningPort(const std::string& output) {
  const std::size_t at = output.find(kListening);
  if (at == std::string::npos) return 0;
  const std::size_t digits = at + kListening.size();
  const std::size_t end = output.find_first_of("\r\n", digits);
  if (end == std::string::npos) return 0;  // the line is not complete yet
  std::uint16_t port = 0;
  const auto [last, status] = std::from_chars(output.data() + digits, output.data() + end, port);
  return status == std::errc{} && last == output.data() + end ? port : 0;
}

}  // namespace

bool LanPrinter::Start(const fs::path& folder, const std::vector<std::uint8_t>* memory,
                       const std::vector<std::wstring>& faults, std::string& error) {
  state_ = folder / "lan-printer.fom";
  if (memory != nullptr) {
    std::ofstream out(state_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory->data()),
              static_cast<std::streamsize>(memory->size()));
  }
  const fs::path output = folder / "lan-printer.out";
  std::vector<std::wstring> arguments{L"--listen", L"127.0.0.1:0", L"--state", state_.wstring()};
  arguments.insert(arguments.end(), faults.begin(), faults.end());
  process_ = uidriver::Process::Start({uidriver::WindowsPath(ROVANT_E2E_PRINTER_SIM_EXE),
                                       arguments,
                                       folder.wstring(),
                                       {},
                                       output.wstring()},
                                      job_, error);
  if (!process_) return false;
  uidriver::WaitUntil(
      [&] {
        port_ = ListeningPort(FileText(output));
        return port_ != 0 || !process_->Running();
      },
      kListenWaitMs);
  if (port_ == 0) error = "rovant-printer-sim --listen said no port: " + FileText(output);
  return port_ != 0;
}

void LanPrinter::Stop() {
  job_.KillAll();
  if (process_) (void)process_->WaitExit(kStopWaitMs);
}

std::vector<std::uint8_t> LanPrinter::Memory() const {
  const std::string text = FileText(state_);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

Environment LanEnvironment(std::uint16_t port, unsigned receiveMs) {
  Environment environment{{L"ROVANT_LAN_TCP_PORT", std::to_wstring(port)}};
  if (receiveMs != 0)
    environment.emplace_back(L"ROVANT_LAN_RECEIVE_MS", std::to_wstring(receiveMs));
  return environment;
}

}  // namespace rovant::e2e
