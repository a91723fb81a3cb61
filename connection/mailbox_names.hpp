// The names of the kernel objects the program and the language monitor share.
#pragma once

#include <string>

namespace rovant {

struct MailboxNames {
  std::string mapping;
  std::string mutex;
};

// Without the local namespace (every NT system since services run in their
// own session) the names live in the global namespace.
inline MailboxNames MailboxNamesFor(bool localNamespace) {
  const std::string prefix = localNamespace ? "" : "Global\\";
  return {prefix + "Vek TeleSet LM Connection MapFile",
          prefix + "Vek TeleSet LM Connection MapFile Mutex"};
}

}  // namespace rovant
