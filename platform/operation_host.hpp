// What a printer operation shows while it runs: the status window, and after
// list printing the dialog that waits until the printer has finished.
#pragma once

#include <span>
#include <string_view>

namespace rovant {

class OperationHost {
 public:
  virtual ~OperationHost() = default;
  // Creates the status window with its one line of text.
  virtual void ShowStatus(std::string_view text) = 0;
  // Destroys the status window.
  virtual void CloseStatus() = 0;
  // Runs the "Has printing finish?" dialog until the user presses OK.
  virtual void RunPrintFinishedDialog() = 0;
  // Appends raw reply bytes to the reply log, if the user keeps one.
  virtual void LogReply(std::span<const char> bytes) = 0;
};

}  // namespace rovant
