#include "cli/cli_support.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <ostream>
#include <utility>

#include "files/setting_file.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {

namespace {

// ": Permission denied": the system's reason for the last failure, when it gave one.
std::string Reason(const FileSystem& fs) {
  const std::string text = fs.LastErrorText();
  return text.empty() ? std::string() : ": " + text;
}

}  // namespace

Expected<SettingsRecord> LoadRecord(FileSystem& fs, const std::string& path) {
  if (path.empty()) return Fail("the file name is empty: name the setting file to read");
  const LoadedSettings loaded = LoadSettingFile(fs, path);
  switch (loaded.status) {
    case LoadStatus::kOk:
      return loaded.record;
    case LoadStatus::kNotFound:
      return Fail(path + ": no such file");
    case LoadStatus::kOpenFailed:
      return Fail(path + ": cannot open the file" + Reason(fs));
    case LoadStatus::kReadFailed:
      return Fail(path + ": cannot read the file" + Reason(fs));
    case LoadStatus::kEmpty:
      return Fail(path + ": the file is empty; a setting file holds " +
                  std::to_string(kSettingFileSize) + " bytes");
    case LoadStatus::kShort:
      return Fail(path + ": the file holds only " + std::to_string(loaded.size) +
                  " bytes; a setting file holds " + std::to_string(kSettingFileSize));
    case LoadStatus::kOutOfList:
      break;
  }
  std::string items = ListItemsWithValues(loaded.badItems, loaded.record);
  if (!items.empty() && items.back() == '\n') items.pop_back();
  return Fail(path +
              ": damaged setting file: these items hold values outside their option lists:\n" +
              items);
}

Expected<void> WriteRecord(FileSystem& fs, const std::string& path, const SettingsRecord& record) {
  return WriteBytes(fs, path, record);
}

Expected<void> WriteBytes(FileSystem& fs, const std::string& path,
                          std::span<const std::uint8_t> bytes) {
  if (path.empty()) return Fail("the file name is empty: name the file to write");
  const FileStatus status = fs.WriteWhole(path, bytes, WritePolicy::kReplace);
  switch (status) {
    case FileStatus::kOk:
      return {};
    case FileStatus::kReadOnly:
      return Fail(path + ": the file is read-only; it was left unchanged" + Reason(fs));
    case FileStatus::kCreateFailed:
      return Fail(path + ": cannot create a file there" + Reason(fs));
    default:
      return Fail(path + ": writing failed; the file on the disk was left as it was" + Reason(fs));
  }
}

CLI::Option* AddModelOption(CLI::App& command, ModelCode& model) {
  // Names in any case to the model's code, which CLI11 then reads into the enum.
  static constexpr std::pair<std::string_view, ModelCode> kModels[] = {
      {"HX310", ModelCode::kHx310}, {"HX320", ModelCode::kHx320}, {"other", ModelCode::kOther}};
  const CLI::Validator names(
      [](std::string& text) -> std::string {
        for (const auto& [name, code] : kModels) {
          const bool same =
              std::equal(name.begin(), name.end(), text.begin(), text.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
              });
          if (same) {
            text = std::to_string(static_cast<int>(code));
            return {};
          }
        }
        return "HX310, HX320 or other expected, not \"" + text + "\"";
      },
      "{HX310,HX320,other}");
  return command
      .add_option("--model", model,
                  "Printer model the text is for: HX310, HX320, or other (a printer of neither "
                  "model: no WIDTH entries)")
      ->transform(names)
      ->default_str("HX320");
}

std::string Quoted(std::string_view label) {
  std::string text = "\"";
  text += label;
  text += '"';
  return text;
}

std::string DescribeChange(std::size_t item, const SettingsRecord& before,
                           const SettingsRecord& after, std::string_view arrow) {
  const std::string_view from = LabelOf(item, before).value_or("?");
  const std::string_view to = LabelOf(item, after).value_or("?");
  std::string text = Quoted(from) + std::string(arrow) + Quoted(to);
  if (from == to) {
    text += " (position " + std::to_string(before[item]) + std::string(arrow) +
            std::to_string(after[item]) + ")";
  }
  return text;
}

}  // namespace rovant::cli
