// The LAN connection library as the program uses it: loaded for each
// exchange, all of its entry points bound by name, seven of them called.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace rovant {

using LanPort = std::uintptr_t;
inline constexpr LanPort kLanNoPort = ~LanPort{0};

// A loaded library; unloaded when destroyed.
class LanLibrary {
 public:
  virtual ~LanLibrary() = default;
  virtual bool Startup() = 0;
  virtual LanPort OpenPort(std::string_view portText) = 0;
  virtual bool WritePort(LanPort port, std::span<const std::uint8_t> bytes,
                         std::size_t& written) = 0;
  virtual bool ReadPort(LanPort port, std::span<std::uint8_t> buffer, std::size_t& received) = 0;
  virtual void GetError(LanPort port) = 0;
  virtual bool ClosePort(LanPort port) = 0;
  virtual bool Cleanup() = 0;
};

class LanLoader {
 public:
  virtual ~LanLoader() = default;
  // Loads the library and binds every entry point; nothing when it cannot.
  virtual std::unique_ptr<LanLibrary> Load() = 0;
};

}  // namespace rovant
