// The printer on the LAN for end-to-end tests: rovant-printer-sim.exe --listen on a free port of
// 127.0.0.1 (the test bed's "HX320 on LAN" printer, port "127.0.0.1:lp"), with its memory in a
// state file that it saves after every session. rovant.exe's LAN library reaches it when
// ROVANT_LAN_TCP_PORT in the program's environment names its port (LanEnvironment()).
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testbed/uidriver/process.hpp"

namespace rovant::e2e {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

class LanPrinter {
 public:
  // Starts the simulator in `folder` with its memory in lan-printer.fom (written first from
  // `memory` when given) and its `faults` ("--switched-off"), and waits (bounded) until it says
  // which port it listens on; false with `error` set if it does not.
  bool Start(const std::filesystem::path& folder, const std::vector<std::uint8_t>* memory,
             const std::vector<std::wstring>& faults, std::string& error);
  // Ends the simulator; its port is then free, with nobody listening.
  void Stop();

  [[nodiscard]] std::uint16_t port() const { return port_; }
  // The simulated printer's memory as last saved.
  [[nodiscard]] std::vector<std::uint8_t> Memory() const;
  [[nodiscard]] const std::filesystem::path& stateFile() const { return state_; }

 private:
  uidriver::Job job_;
  std::optional<uidriver::Process> process_;
  std::filesystem::path state_;
  std::uint16_t port_ = 0;
};

// rovant.exe's environment for a LAN printer on `port` (ROVANT_LAN_TCP_PORT); with
// `receiveMs`, the library's wait for a reply's first byte (ROVANT_LAN_RECEIVE_MS, 5000 when not
// set), so that a silent printer fails sooner.
Environment LanEnvironment(std::uint16_t port, unsigned receiveMs = 0);

}  // namespace rovant::e2e
