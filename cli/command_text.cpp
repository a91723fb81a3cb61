// rovantctl text [--model M] [-o OUT] FILE
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <span>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "files/setting_file.hpp"
#include "protocol/setting_text.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace rovant::cli {
namespace {

struct TextOptions {
  std::string file;
  std::string output;
  ModelCode model = ModelCode::kHx320;
};

bool WriteToStdout(std::string_view bytes) {
#ifdef _WIN32
  // The text holds CR bytes that must reach the pipe or file unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
         std::fflush(stdout) == 0;
}

}  // namespace

void AddTextCommand(front::CommandLine& line, CommandEnv& env) {
  auto options = std::make_shared<TextOptions>();
  CLI::App* command = line.app().add_subcommand(
      "text",
      "Write the exact setting text that a transfer of the file's settings sends to the printer "
      "(bytes only: no newline is added).");
  AddModelOption(*command, options->model);
  command->add_option("-o,--output", options->output,
                      "Write the text to this file instead of standard output");
  command->add_option("FILE", options->file, "Setting file (.fom)")->required();
  line.OnRun(*command, [&env, options] {
    const Expected<SettingsRecord> record = LoadRecord(env.fs, options->file);
    if (!Reported(record, std::cerr)) return kExitFailed;
    SettingText text;
    ItemList refused;
    if (!BuildSettingText(*record, options->model, text, refused)) {
      std::cerr << "rovantctl: " << options->file
                << ": these items hold values outside their option lists:\n"
                << ListItemsWithValues(refused, *record);
      return kExitFailed;
    }
    if (options->output.empty()) {
      if (!WriteToStdout(text.view())) {
        std::cerr << "rovantctl: writing to standard output failed\n";
        return kExitFailed;
      }
    } else {
      const std::string_view bytes = text.view();
      const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              bytes.size());
      if (!Reported(WriteBytes(env.fs, options->output, raw), std::cerr)) return kExitFailed;
    }
    return kExitOk;
  });
}

}  // namespace rovant::cli
