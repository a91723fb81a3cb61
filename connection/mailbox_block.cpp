#include "connection/mailbox_block.hpp"

namespace rovant {

std::uint32_t MailboxBlock::Get(std::size_t at) const {
  return static_cast<std::uint32_t>(bytes_[at]) | static_cast<std::uint32_t>(bytes_[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes_[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
}

void MailboxBlock::Put(std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

}  // namespace rovant
