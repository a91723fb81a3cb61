// What the main window's commands call, recorded: the operations with scripted results, the
// help viewer and the current directory.
#pragma once

#include <deque>
#include <string>

#include "files/file_commands.hpp"
#include "tests/fakes/call_log.hpp"
#include "ui/command_surroundings.hpp"

namespace rovant::testing {

class FakeCommandOperations final : public ui::CommandOperations,
                                    public ui::HelpViewer,
                                    public ui::CurrentDirectory,
                                    Recorder {
 public:
  using Recorder::Recorder;

  int CheckPrinterReady() override { return Logged("ready check", ready); }
  ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) override {
    return static_cast<ReadResult>(Logged(Call("read", mode, owner), Next(readResults)));
  }
  WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) override {
    return static_cast<WriteResult>(Logged(Call("write", mode, owner), Next(writeResults)));
  }
  bool OpenSettingFile() override { return Logged("open setting file", true); }
  bool SaveSettingFile() override { return Logged("save setting file", true); }
  // With `files` set the working copy is really stored there.
  bool StoreWorkingCopy() override {
    return Logged("store working copy", files != nullptr && rovant::StoreWorkingCopy(*files));
  }
  WindowRef ShowTopic(WindowRef owner, std::string_view path) override {
    return Logged("help show @" + std::to_string(owner) + " " + std::string(path), WindowRef{0});
  }
  void CloseAll() override { log_.Add("help close all"); }
  bool Set(std::string_view path) override { return Logged("cd " + std::string(path), true); }

  int ready = 0;  // the readiness check's answer
  // The results' values in order (1 done, 0 failed, -1 another model or refused); 1 when none
  // is left.
  std::deque<int> readResults;
  std::deque<int> writeResults;
  FileCommandContext* files = nullptr;

 private:
  template <typename Mode>
  static std::string Call(const char* what, Mode mode, WindowRef owner) {
    return std::string(what) + " " + std::to_string(static_cast<int>(mode)) + " @" +
           std::to_string(owner);
  }
  static int Next(std::deque<int>& results) {
    if (results.empty()) return 1;
    const int result = results.front();
    results.pop_front();
    return result;
  }
};

}  // namespace rovant::testing
