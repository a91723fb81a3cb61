// rovantctl diff A B
#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "model/catalogue.hpp"
#include "model/item_names.hpp"

namespace rovant::cli {
namespace {

// diff(1)'s convention: 0 equal, 1 different, 2 trouble.
constexpr int kDiffSame = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffTrouble = 2;

struct DiffOptions {
  std::string first;
  std::string second;
};

}  // namespace

void AddDiffCommand(front::CommandLine& line, CommandEnv& env) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* command = line.app().add_subcommand(
      "diff",
      "List the items whose values differ between two setting files, with both values. Exit "
      "status 0 when they are equal, 1 when they differ, 2 when a file cannot be read.");
  command->add_option("A", options->first, "First setting file")->required();
  command->add_option("B", options->second, "Second setting file")->required();
  line.OnRun(*command, [&env, options] {
    const Expected<SettingsRecord> a = LoadRecord(env.fs, options->first);
    const bool firstRead = Reported(a, std::cerr);
    const Expected<SettingsRecord> b = LoadRecord(env.fs, options->second);
    if (!Reported(b, std::cerr) || !firstRead) return kDiffTrouble;
    int differences = 0;
    for (ItemIndex item = 0; item < kItemCount; ++item) {
      if ((*a)[item] == (*b)[item]) continue;
      ++differences;
      std::cout << std::left << std::setw(16) << DescribeItem(item)
                << DescribeChange(item, *a, *b, " | ") << '\n';
    }
    return differences == 0 ? kDiffSame : kDiffDifferent;
  });
}

}  // namespace rovant::cli
