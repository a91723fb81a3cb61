// rovantctl profile export | check | build: profiles as YAML text.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <iostream>
#include <vector>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/printer_session.hpp"
#include "cli/profile_loading.hpp"
#include "model/catalogue.hpp"

namespace rovant::cli {
namespace {

void Report(std::ostream& err, const std::string& path,
            const std::vector<fleet::ProfileProblem>& problems) {
  for (const fleet::ProfileProblem& problem : problems) {
    err << "rovantctl: " << path;
    if (problem.line > 0) err << ':' << problem.line;
    err << ": " << problem.reason << '\n';
  }
}

bool EndsWithFom(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".fom";
}

struct ProfileOptions {
  std::string file;
  std::string output;
  std::string base;
  std::vector<std::string> items;
  ModelCode model = ModelCode::kHx320;
};

int Export(CommandEnv& env, const ProfileOptions& options) {
  const Expected<SettingsRecord> record = LoadRecord(env.fs, options.file);
  if (!Reported(record, std::cerr)) return kExitFailed;
  std::vector<ItemIndex> items;
  for (const std::string& key : options.items) {
    std::string reason;
    const std::optional<ItemIndex> item = ParseItemKey(key, reason);
    if (!item) {
      std::cerr << "rovantctl: --items: " << reason << '\n';
      return kExitUsage;
    }
    if (IsReadOnly(*item)) {
      std::cerr << "rovantctl: --items: " << ItemKey(*item)
                << " is read-only and never part of a profile\n";
      return kExitUsage;
    }
    items.push_back(*item);
  }
  const std::string text = fleet::ProfileToYaml(fleet::ProfileOfRecord(*record, items), *record);
  if (options.output.empty()) {
    std::cout << text << std::flush;
    return std::cout ? kExitOk : kExitFailed;
  }
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  return Reported(WriteBytes(env.fs, options.output, bytes), std::cerr) ? kExitOk : kExitFailed;
}

int Check(CommandEnv& env, const ProfileOptions& options, bool modelGiven) {
  // Every problem at once: those of the text, then those of its values.
  fleet::Profile profile;
  std::vector<fleet::ProfileProblem> problems;
  if (EndsWithFom(options.file)) {
    const std::optional<fleet::Profile> loaded = LoadProfile(env.fs, options.file, std::cerr);
    if (!loaded) return kExitFailed;
    profile = *loaded;
  } else {
    const Expected<std::string> text = ReadTextFile(env.fs, options.file);
    if (!Reported(text, std::cerr)) return kExitFailed;
    problems = fleet::ParseProfileYaml(*text, profile);
  }
  SettingsRecord record = kFactoryDefaults;
  const std::vector<fleet::ProfileProblem> more = fleet::ApplyProfile(
      profile, record, modelGiven ? std::optional<ModelCode>(options.model) : std::nullopt);
  problems.insert(problems.end(), more.begin(), more.end());
  std::stable_sort(problems.begin(), problems.end(),
                   [](const fleet::ProfileProblem& a, const fleet::ProfileProblem& b) {
                     return a.line < b.line;
                   });
  Report(std::cerr, options.file, problems);
  if (!problems.empty()) return kExitFailed;
  std::cout << options.file << ": " << profile.entries.size() << " items, valid\n" << std::flush;
  return std::cout ? kExitOk : kExitFailed;
}

int Build(CommandEnv& env, const ProfileOptions& options) {
  const std::optional<fleet::Profile> profile = LoadProfile(env.fs, options.file, std::cerr);
  if (!profile) return kExitFailed;
  SettingsRecord record = kFactoryDefaults;
  if (!options.base.empty()) {
    const Expected<SettingsRecord> base = LoadRecord(env.fs, options.base);
    if (!Reported(base, std::cerr)) return kExitFailed;
    record = *base;
  }
  const std::vector<fleet::ProfileProblem> problems = fleet::ApplyProfile(*profile, record);
  Report(std::cerr, options.file, problems);
  if (!problems.empty()) {
    std::cerr << "rovantctl: nothing was written\n";
    return kExitFailed;
  }
  return Reported(WriteRecord(env.fs, options.output, record), std::cerr) ? kExitOk : kExitFailed;
}

}  // namespace

Expected<std::string> ReadTextFile(FileSystem& fs, const std::string& path) {
  std::vector<std::uint8_t> buffer(kYamlFileLimit + 1);
  const ReadOutcome read = fs.ReadPrefix(path, buffer);
  if (read.status != FileStatus::kOk) {
    return Fail(path + ": " +
                (read.status == FileStatus::kNotFound ? "no such file" : "cannot read the file"));
  }
  if (read.count > kYamlFileLimit) {
    return Fail(path + ": longer than " + std::to_string(kYamlFileLimit) + " bytes");
  }
  return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(read.count));
}

std::optional<fleet::Profile> LoadProfile(FileSystem& fs, const std::string& path,
                                          std::ostream& err) {
  if (EndsWithFom(path)) {
    const Expected<SettingsRecord> record = LoadRecord(fs, path);
    if (!Reported(record, err)) return std::nullopt;
    return fleet::ProfileOfRecord(*record);
  }
  const Expected<std::string> text = ReadTextFile(fs, path);
  if (!Reported(text, err)) return std::nullopt;
  fleet::Profile profile;
  const std::vector<fleet::ProfileProblem> problems = fleet::ParseProfileYaml(*text, profile);
  Report(err, path, problems);
  if (!problems.empty()) return std::nullopt;
  return profile;
}

std::optional<fleet::Inventory> LoadInventory(FileSystem& fs, const std::string& path,
                                              std::ostream& err) {
  const Expected<std::string> text = ReadTextFile(fs, path);
  if (!Reported(text, err)) return std::nullopt;
  fleet::Inventory inventory;
  const std::vector<fleet::ProfileProblem> problems =
      fleet::ParseInventoryYaml(*text, inventory, [](const std::string& printer) {
        const Expected<PrinterAddress> address = ParsePrinterAddress(printer);
        return address ? std::optional<std::string>() : address.error();
      });
  Report(err, path, problems);
  if (!problems.empty()) return std::nullopt;
  return inventory;
}

void AddProfileCommand(front::CommandLine& line, CommandEnv& env) {
  CLI::App* profile = line.app().add_subcommand(
      "profile",
      "Profiles: YAML files mapping BLOCK.ITEM to the printer's own label "
      "(MENU1.PITCH: 12 CPI). A .fom setting file is taken wherever a profile is, and means "
      "all its items.");
  profile->require_subcommand(1);

  auto options = std::make_shared<ProfileOptions>();
  CLI::App* exportCommand =
      profile->add_subcommand("export", "Write a profile holding a setting file's values.");
  exportCommand->add_option("FILE", options->file, "Setting file (.fom)")->required();
  exportCommand
      ->add_option("--items", options->items,
                   "Only these items, e.g. MENU1.PITCH,CONFIG.LOCK (default: every settable item)")
      ->delimiter(',');
  exportCommand->add_option("-o,--output", options->output,
                            "Write the profile here (default: standard output)");
  line.OnRun(*exportCommand, [&env, options] { return Export(env, *options); });

  CLI::App* check = profile->add_subcommand(
      "check",
      "Validate a profile: unknown items, labels outside the list in force under the "
      "profile's emulation, read-only items and, with --model, items that model never takes "
      "are refused with the line and the reason.");
  check->add_option("PROFILE", options->file, "Profile (.yaml) or setting file (.fom)")->required();
  CLI::Option* model = AddModelOption(*check, options->model)
                           ->description("Also refuse items a printer of this model never takes")
                           ->default_str("");
  line.OnRun(*check, [&env, options, model] { return Check(env, *options, model->count() > 0); });

  CLI::App* build = profile->add_subcommand(
      "build",
      "Apply a profile to a record and write the setting file: a changed EMULATE resets its "
      "block first, then the profile's items apply.");
  build->add_option("PROFILE", options->file, "Profile (.yaml) or setting file (.fom)")->required();
  build->add_option("--base", options->base,
                    "Setting file the profile is applied to (default: factory settings)");
  build->add_option("-o,--output", options->output, "Setting file to write")->required();
  line.OnRun(*build, [&env, options] { return Build(env, *options); });
}

}  // namespace rovant::cli
