// Recording fakes for what the main window's commands call: the operations
// with scripted results, the help viewer and the current directory.
#pragma once

#include <deque>
#include <string>

#include "files/file_commands.hpp"
#include "tests/fakes/call_log.hpp"
#include "ui/command_surroundings.hpp"

namespace rovant::testing {

class FakeCommandOperations final : public ui::CommandOperations {
 public:
  explicit FakeCommandOperations(CallLog& log) : log_(log) {}

  int CheckPrinterReady() override {
    log_.Add("ready check");
    return ready;
  }
  ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) override {
    log_.Add("read " + std::to_string(static_cast<int>(mode)) + " @" + std::to_string(owner));
    return static_cast<ReadResult>(Next(readResults));
  }
  WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) override {
    log_.Add("write " + std::to_string(static_cast<int>(mode)) + " @" + std::to_string(owner));
    return static_cast<WriteResult>(Next(writeResults));
  }
  bool OpenSettingFile() override {
    log_.Add("open setting file");
    return true;
  }
  bool SaveSettingFile() override {
    log_.Add("save setting file");
    return true;
  }
  // With `files` set the working copy is really stored there.
  bool StoreWorkingCopy() override {
    log_.Add("store working copy");
    return files != nullptr && rovant::StoreWorkingCopy(*files);
  }

  int ready = 0;  // the readiness check's answer
  // The results' values in order (1 done, 0 failed, -1 another model or
  // refused); 1 when none is left.
  std::deque<int> readResults;
  std::deque<int> writeResults;
  FileCommandContext* files = nullptr;

 private:
  static int Next(std::deque<int>& results) {
    if (results.empty()) return 1;
    const int result = results.front();
    results.pop_front();
    return result;
  }
  CallLog& log_;
};

class FakeHelpViewer final : public ui::HelpViewer {
 public:
  explicit FakeHelpViewer(CallLog& log) : log_(log) {}
  WindowRef ShowTopic(WindowRef owner, std::string_view path) override {
    log_.Add("help show @" + std::to_string(owner) + " " + std::string(path));
    return 0;
  }
  void CloseAll() override { log_.Add("help close all"); }

 private:
  CallLog& log_;
};

class FakeCurrentDirectory final : public ui::CurrentDirectory {
 public:
  explicit FakeCurrentDirectory(CallLog& log) : log_(log) {}
  bool Set(std::string_view path) override {
    log_.Add("cd " + std::string(path));
    return true;
  }

 private:
  CallLog& log_;
};

}  // namespace rovant::testing
