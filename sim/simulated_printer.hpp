// An HX310 or HX320 as its setup command language shows it: the printer side
// of every exchange, with a non-volatile memory, a paper output for the
// setting list, and faults it can be told to play.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_code.hpp"
#include "model/settings_record.hpp"

namespace rovant::sim {

inline constexpr std::size_t kReplyLimit = 4096;
// The most printed paper kept until it is taken (TakePaper): about 500
// setting lists. A LIST that does not fit is not printed, only counted.
inline constexpr std::size_t kPaperLimit = std::size_t{1} << 20;

struct Faults {
  bool switchedOff = false;                // every send refused, nothing received
  int refuseSend = 0;                      // refuse the n-th send of each session (1-based), 0 none
  std::optional<ModelCode> reportedModel;  // answer "?MODEL  " with this model instead
  std::vector<ItemIndex> badValues;        // items whose value goes out garbled ("???????")
  bool noise = false;                      // junk between the reply's lines
  bool oversizeReply = false;              // reply of 4096 bytes or more (cut at 4096 on receive)
  bool noSettingsMarker = false;           // the settings section comes without "?NVRAM  "
  unsigned slowAnswerMs = 0;  // each receive takes this long (through the link's clock)
};

class SimulatedPrinter {
 public:
  explicit SimulatedPrinter(ModelCode model, const SettingsRecord& memory);

  // The host sends bytes (one send). False when the send is refused (then
  // nothing of it is taken). Setup starts at the online sequence; commands,
  // queries and setting entries after it are carried out as they arrive.
  bool Accept(std::string_view bytes);
  // The host collects what the queries of this session produced (at most
  // 4096 bytes). False when switched off.
  bool Reply(std::array<char, kReplyLimit>& out, std::size_t& length);
  // Whether the queries carried out so far left a reply to collect.
  [[nodiscard]] bool HasReply() const { return !reply_.empty(); }
  // The host ends the job: setup is left, the pending reply dropped.
  void EndSession();

  [[nodiscard]] ModelCode model() const { return model_; }
  // Non-volatile memory: what SAVE stored, what a restart comes up with.
  [[nodiscard]] const SettingsRecord& memory() const { return memory_; }
  // Settings in force now (setting text and DEFAULT change these; SAVE stores them).
  [[nodiscard]] const SettingsRecord& current() const { return current_; }
  // What LIST printed since the paper was last taken, as text.
  [[nodiscard]] const std::string& paper() const { return paper_; }
  // Hands the printed paper over and starts a fresh one.
  std::string TakePaper();
  // LISTs not printed because kPaperLimit was reached, since the last call.
  std::size_t TakeListsNotPrinted();
  [[nodiscard]] bool inSetup() const { return inSetup_; }
  Faults& faults() { return faults_; }
  [[nodiscard]] const Faults& faults() const { return faults_; }

 private:
  void StartSetup();
  void Take(std::string_view bytes);
  void CarryOut(std::string_view unit);
  void Answer(std::string_view marker, std::string_view value);
  void AnswerSettings();
  void PadOversize();

  ModelCode model_;
  SettingsRecord memory_;
  SettingsRecord current_;
  std::string paper_;
  std::size_t listsNotPrinted_ = 0;
  std::string reply_;
  std::string pending_;  // bytes of an incomplete command
  bool inSetup_ = false;
  int sendsThisSession_ = 0;
  Faults faults_;
  std::optional<MenuBlock> section_;  // the setting text section entries belong to
  bool discarding_ = false;           // an overlong command is skipped up to its CR
};

// The reply lines the printer sends for its settings: one 27-character line
// per read item ("MENU1   :EMULATE :DPL24C+\r\n"), in catalogue order; an
// HX310 has no WIDTH and no CSF-ADJ lines.
std::string SettingsLines(const SettingsRecord& record, ModelCode model);

}  // namespace rovant::sim
