#include <cstdint>
#include <cstdio>
#include <iostream>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {

void AddTargetOptions(CLI::App& command, Target& target) {
  command.add_option("--pid", target.pid, "only windows of this process id");
  command.add_option("--class", target.className, "the window's class, e.g. #32770");
  command.add_option("--caption", target.caption, "the window's exact caption");
  command.add_option("--window", target.handle, "the window's handle in hex (from list-windows)");
  command.add_option("--timeout", target.timeoutMs,
                     "milliseconds to wait for the window (default 10000)");
}

bool NamesWindow(const Target& target) {
  return !target.handle.empty() || !target.className.empty() || !target.caption.empty();
}

std::string Hex(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

HWND Resolve(const Target& target) {
  if (!target.handle.empty()) {
    const auto value = std::stoull(target.handle, nullptr, 16);  // not hex: the usage status
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    if (::IsWindow(window) != FALSE) return window;
    std::cerr << "rovant-uidriver: " << target.handle << " is not a window\n";
    return nullptr;
  }
  WindowQuery query;
  query.processId = target.pid;
  if (!target.className.empty()) query.className = Widen(target.className);
  if (!target.caption.empty()) query.caption = Widen(target.caption);
  HWND window = WaitWindow(query, target.timeoutMs);
  if (window == nullptr) {
    std::cerr << "rovant-uidriver: no such window within " << target.timeoutMs << " ms\n"
              << DescribeWindows(target.pid);
  }
  return window;
}

}  // namespace rovant::uidriver
