// The reply mailbox block shared with the language monitor: 4108 bytes,
// little-endian: command (4), data (4096), length (4), status (4).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace rovant {

inline constexpr std::size_t kMailboxDataSize = 4096;
inline constexpr std::size_t kMailboxBlockSize = 4 + kMailboxDataSize + 4 + 4;
static_assert(kMailboxBlockSize == 4108);

enum MailboxCommand : std::uint32_t {
  kMailboxIdle = 0,
  kMailboxReceive = 1,
  kMailboxSend = 2,
  kMailboxEndOfJob = 4,
};
enum MailboxStatus : std::uint32_t {
  kMailboxPending = 0,  // written by the program with every command
  kMailboxFailed = 1,   // written by the monitor
  kMailboxDone = 2,     // written by the monitor
};

// The block as bytes, with its fields read and written in little-endian order
// whatever the machine.
class MailboxBlock {
 public:
  static constexpr std::size_t kCommandOffset = 0;
  static constexpr std::size_t kDataOffset = 4;
  static constexpr std::size_t kLengthOffset = kDataOffset + kMailboxDataSize;
  static constexpr std::size_t kStatusOffset = kLengthOffset + 4;

  [[nodiscard]] std::uint32_t command() const { return Get(kCommandOffset); }
  [[nodiscard]] std::uint32_t length() const { return Get(kLengthOffset); }
  [[nodiscard]] std::uint32_t status() const { return Get(kStatusOffset); }
  void set_command(std::uint32_t value) { Put(kCommandOffset, value); }
  void set_length(std::uint32_t value) { Put(kLengthOffset, value); }
  void set_status(std::uint32_t value) { Put(kStatusOffset, value); }

  [[nodiscard]] std::span<std::uint8_t, kMailboxDataSize> data() {
    return std::span<std::uint8_t, kMailboxDataSize>(bytes_.data() + kDataOffset, kMailboxDataSize);
  }
  [[nodiscard]] std::span<const std::uint8_t, kMailboxDataSize> data() const {
    return std::span<const std::uint8_t, kMailboxDataSize>(bytes_.data() + kDataOffset,
                                                           kMailboxDataSize);
  }
  [[nodiscard]] std::span<std::uint8_t, kMailboxBlockSize> bytes() { return bytes_; }
  [[nodiscard]] std::span<const std::uint8_t, kMailboxBlockSize> bytes() const { return bytes_; }
  void Clear() { bytes_.fill(0); }

 private:
  [[nodiscard]] std::uint32_t Get(std::size_t at) const;
  void Put(std::size_t at, std::uint32_t value);

  std::array<std::uint8_t, kMailboxBlockSize> bytes_{};
};

// The language monitor in the spooler's process reads and writes the same bytes, whatever the
// bitness of either side: the layout is fixed, and the block is copied whole.
static_assert(MailboxBlock::kCommandOffset == 0 && MailboxBlock::kDataOffset == 4 &&
              MailboxBlock::kLengthOffset == 4100 && MailboxBlock::kStatusOffset == 4104 &&
              MailboxBlock::kStatusOffset + 4 == kMailboxBlockSize);
static_assert(sizeof(MailboxBlock) == kMailboxBlockSize);

}  // namespace rovant
