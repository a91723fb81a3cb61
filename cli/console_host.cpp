#include "cli/console_host.hpp"

#include <chrono>
#include <ostream>
#include <string>
#include <thread>

#include "texts/messages.hpp"

namespace rovant::cli {
namespace {

// Message text on one line per line, each marked as coming from the printer operation.
void PrintLines(std::ostream& out, std::string_view prefix, std::string_view text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    if (!line.empty()) out << prefix << line << '\n';
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

std::string_view KindOf(unsigned icon, unsigned style) {
  switch (icon) {
    case msg::kIconError:
      return "error";
    case msg::kIconWarning:
      return "warning";
    case msg::kIconInformation:
      return "note";
    default:
      return (style & msg::kIconStop) != 0 ? "error" : "note";
  }
}

}  // namespace

void ConsoleClock::SleepMs(unsigned milliseconds) {
  progress_ << "rovantctl: waiting " << milliseconds / 1000 << '.' << milliseconds % 1000 / 100
            << " s for the printer\n"
            << std::flush;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ConsoleHost::ShowStatus(std::string_view text) {
  progress_ << "rovantctl: " << text << '\n' << std::flush;
}

void ConsoleHost::RunPrintFinishedDialog() {
  progress_ << "rovantctl: Has printing finish? (the printer prints its setting list)\n"
            << std::flush;
}

int ConsoleMessages::Show(const MessageBoxRequest& request) {
  ++count_;
  const std::string prefix =
      "rovantctl: " + std::string(KindOf(request.icon, request.style)) + ": ";
  PrintLines(out_, prefix, request.text);
  out_ << std::flush;
  const unsigned buttons = request.style & 0x0f;
  if (buttons == msg::kAbortRetryIgnore) return msg::kResultAbort;
  if (buttons == msg::kYesNo) return msg::kResultNo;
  return msg::kResultOk;
}

}  // namespace rovant::cli
