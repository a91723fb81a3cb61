#include "sim/simulated_printer.hpp"

#include <algorithm>
#include <utility>

#include "model/catalogue.hpp"
#include "protocol/command_strings.hpp"
#include "sim/setting_entry.hpp"
#include "sim/settings_lines.hpp"

namespace rovant::sim {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t kKeywordWidth = 7;
// The longest command is a section name with its first entry (23 bytes);
// anything longer without a CR is junk and skipped up to the next CR.
constexpr std::size_t kPendingLimit = 64;
// The printer keeps at most this much reply; more answers are dropped.
constexpr std::size_t kReplyStoreLimit = 4 * kReplyLimit;
constexpr std::size_t kOversizeLength = kReplyLimit + 256;
constexpr char kSeparator = ':';
constexpr std::string_view kFirmwareVersion = "1.02   ";
constexpr std::string_view kModelMarker = "?MODEL  ";
constexpr std::string_view kVersionMarker = "?VER    ";
constexpr std::string_view kSettingsMarker = "?NVRAM  ";
constexpr std::string_view kWrongSettingsMarker = "?NVRM   ";

std::string ModelField(ModelCode model) {
  std::string field(NameOf(model));
  field.resize(kKeywordWidth, ' ');
  return field;
}

}  // namespace

SimulatedPrinter::SimulatedPrinter(ModelCode model, const SettingsRecord& memory)
    : model_(model), memory_(memory), current_(memory) {}

bool SimulatedPrinter::Accept(std::string_view bytes) {
  if (faults_.switchedOff) return false;
  const bool online = bytes == wire::kOnlineSequence;
  // Sends are counted from the session's first online sequence up to EndSession.
  if (online || sendsThisSession_ > 0) ++sendsThisSession_;
  if (faults_.refuseSend > 0 && sendsThisSession_ == faults_.refuseSend) return false;
  if (online) {
    StartSetup();
  } else if (inSetup_) {
    Take(bytes);
  }
  return true;
}

bool SimulatedPrinter::Reply(std::array<char, kReplyLimit>& out, std::size_t& length) {
  out.fill('\0');
  length = 0;
  if (faults_.switchedOff) return false;
  if (faults_.oversizeReply && !reply_.empty()) PadOversize();
  length = std::min(reply_.size(), out.size());
  std::copy_n(reply_.data(), length, out.data());
  reply_.clear();
  return true;
}

std::string SimulatedPrinter::TakePaper() {
  std::string taken;
  taken.swap(paper_);
  return taken;
}

std::size_t SimulatedPrinter::TakeListsNotPrinted() { return std::exchange(listsNotPrinted_, 0); }

void SimulatedPrinter::EndSession() {
  inSetup_ = false;
  pending_.clear();
  reply_.clear();
  sendsThisSession_ = 0;
  section_.reset();
  discarding_ = false;
}

void SimulatedPrinter::StartSetup() {
  inSetup_ = true;
  pending_.clear();
  section_.reset();
  discarding_ = false;
}

void SimulatedPrinter::Take(std::string_view bytes) {
  for (const char c : bytes) {
    if (!inSetup_) break;  // EXIT: what follows is printed, not carried out
    if (c == '\r') {
      if (!discarding_) CarryOut(pending_);
      pending_.clear();
      discarding_ = false;
    } else if (!discarding_) {
      pending_ += c;
      if (pending_.size() > kPendingLimit) {
        pending_.clear();
        discarding_ = true;
      }
    }
  }
  if (!inSetup_) pending_.clear();
}

void SimulatedPrinter::CarryOut(std::string_view unit) {
  if (unit == "EXIT   "sv) {
    inSetup_ = false;
  } else if (unit == "DEFAULT"sv) {
    current_ = kFactoryDefaults;
  } else if (unit == "SAVE   "sv) {
    memory_ = current_;
  } else if (unit == "LIST   "sv) {
    std::string list(NameOf(model_));
    list += " setting list\n";
    list += SettingListing(current_, model_);
    list += '\n';
    if (paper_.size() + list.size() <= kPaperLimit) {
      paper_ += list;
    } else {
      ++listsNotPrinted_;
    }
  } else if (unit == kModelMarker) {
    Answer(kModelMarker, ModelField(faults_.reportedModel.value_or(model_)));
  } else if (unit == kVersionMarker) {
    Answer(kVersionMarker, kFirmwareVersion);
  } else if (unit == kSettingsMarker) {
    AnswerSettings();
  } else {
    for (const BlockInfo& block : kBlocks) {
      if (unit.size() > kKeywordWidth && unit.substr(0, kKeywordWidth) == block.wireName &&
          unit[kKeywordWidth] == ':') {
        section_ = block.block;
        unit.remove_prefix(kKeywordWidth + 1);
        break;
      }
    }
    if (section_ && !unit.empty()) ApplySettingEntry(current_, model_, *section_, unit);
    return;
  }
  section_.reset();
}

void SimulatedPrinter::Answer(std::string_view marker, std::string_view value) {
  if (reply_.size() >= kReplyStoreLimit) return;
  if (faults_.noise && !reply_.empty()) reply_ += kNoise;
  reply_ += marker;
  reply_ += kSeparator;
  reply_ += value;
  reply_ += "\r\n";
}

void SimulatedPrinter::AnswerSettings() {
  if (reply_.size() >= kReplyStoreLimit) return;
  if (faults_.noise && !reply_.empty()) reply_ += kNoise;
  reply_ += faults_.noSettingsMarker ? kWrongSettingsMarker : kSettingsMarker;
  reply_ += kSeparator;
  AppendSettingsLines(reply_, current_, model_, {faults_.badValues, faults_.noise});
}

void SimulatedPrinter::PadOversize() {
  while (reply_.size() < kOversizeLength) reply_ += kNoise;
}

}  // namespace rovant::sim
