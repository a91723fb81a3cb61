// Recording fakes for the user interface the core talks to: message boxes,
// cursor, setting page and file dialogs.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "model/settings_record.hpp"
#include "platform/cursor.hpp"
#include "platform/file_dialogs.hpp"
#include "platform/message_boxes.hpp"
#include "platform/page_store.hpp"
#include "tests/fakes/call_log.hpp"

namespace rovant::testing {

// Answers each box with the next scripted button (OK when none is left).
class FakeMessageBoxes final : public MessageBoxes, Recorder {
 public:
  using Recorder::Recorder;
  int Show(const MessageBoxRequest& request) override {
    shown.push_back(request);
    log_.Add("box " + std::to_string(request.style) + "/" + std::to_string(request.icon) + ": " +
             request.text);
    if (answers.empty()) return 1;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<int> answers;
  std::vector<MessageBoxRequest> shown;
};

class FakeCursor final : public Cursor, Recorder {
 public:
  using Recorder::Recorder;
  void ShowWait() override { log_.Add("cursor wait"); }
  void ShowArrow() override { log_.Add("cursor arrow"); }
};

// The visible page: `StorePageSelections` copies what the user selected into the record.
class FakePageStore final : public PageStore, Recorder {
 public:
  FakePageStore(CallLog& log, SettingsRecord& record) : Recorder(log), record_(record) {}
  void StorePageSelections() override {
    log_.Add("page store");
    if (selections) record_ = *selections;
  }
  void RefreshCurrentPage() override {
    log_.Add("page refresh");
    shown = record_;
  }
  std::optional<SettingsRecord> selections;  // what the page shows, if it differs from the record
  std::optional<SettingsRecord> shown;       // what the page showed after its last refresh

 private:
  SettingsRecord& record_;
};

// Answers each dialog with the next scripted path (cancelled when none is left).
class FakeFileDialogs final : public FileDialogs, Recorder {
 public:
  using Recorder::Recorder;
  std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override {
    return Ask("open", request);
  }
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
    return Ask("save", request);
  }
  std::deque<std::optional<std::string>> paths;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<std::string> Ask(const std::string& kind, const FileDialogRequest& request) {
    requests.push_back(request);
    log_.Add("dialog " + kind + " " + std::string(request.title));
    if (paths.empty()) return std::nullopt;
    std::optional<std::string> path = paths.front();
    paths.pop_front();
    return path;
  }
};

}  // namespace rovant::testing
