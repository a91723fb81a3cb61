// rovantctl decode [--mode 1|3|7] [--model M] [--connected 0|17|19] [--base FILE] [--json] REPLY
#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <vector>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/record_output.hpp"
#include "model/catalogue.hpp"
#include "model/item_names.hpp"
#include "protocol/item_codes.hpp"
#include "protocol/reply_parser.hpp"

namespace rovant::cli {
namespace {

struct DecodeOptions {
  std::string reply;
  std::string base;
  int mode = 1;
  int connected = 0;
  ModelCode model = ModelCode::kHx320;
  bool json = false;
};

// The --mode numbers are the read modes' own values.
constexpr ReadMode kReadModes[] = {ReadMode::kRead, ReadMode::kAfterDefault, ReadMode::kStartUp};

std::vector<int> ReadModeNumbers() {
  std::vector<int> numbers;
  for (const ReadMode mode : kReadModes) numbers.push_back(static_cast<int>(mode));
  return numbers;
}

ReadMode ReadModeOf(int number) {
  for (const ReadMode mode : kReadModes) {
    if (static_cast<int>(mode) == number) return mode;
  }
  return ReadMode::kRead;  // --mode takes nothing else
}

// The item a received code names, for people.
std::string ItemOfCode(int code) {
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    if (ItemCodeOf(item) == code) return DescribeItem(item);
  }
  return "?";
}

int Decode(CommandEnv& env, const DecodeOptions& options) {
  SettingsRecord base = kFactoryDefaults;
  if (!options.base.empty()) {
    const Expected<SettingsRecord> loaded = LoadRecord(env.fs, options.base);
    if (!Reported(loaded, std::cerr)) return kExitFailed;
    base = *loaded;
  }
  ReplyBuffer reply{};
  const ReadOutcome read = env.fs.ReadPrefix(
      options.reply, std::span(reinterpret_cast<std::uint8_t*>(reply.data()), reply.size()));
  if (read.status != FileStatus::kOk) {
    const std::string reason = env.fs.LastErrorText();
    std::cerr << "rovantctl: " << options.reply << ": "
              << (read.status == FileStatus::kNotFound ? "no such file" : "cannot read the file")
              << (read.status == FileStatus::kNotFound || reason.empty() ? "" : ": " + reason)
              << '\n';
    return kExitFailed;
  }

  const ParsedReply parsed = ParseReply(reply, read.count, ReadModeOf(options.mode), options.model,
                                        options.connected, base);
  const SettingsRecord& record = parsed.result == ReadResult::kDone ? parsed.staging : base;
  if (options.json) {
    const nlohmann::ordered_json document{{"result", static_cast<int>(parsed.result)},
                                          {"record", record},
                                          {"bad_items", parsed.reportedCodes},
                                          {"connected_model", parsed.connectedModel}};
    std::cout << document.dump() << '\n';
  } else {
    static const std::map<ReadResult, const char*> kResults{
        {ReadResult::kDone, "1 (settings read)"},
        {ReadResult::kFailed, "0 (no settings in the reply)"},
        {ReadResult::kOtherModel, "-1 (another model is connected)"}};
    std::cout << "result: " << kResults.at(parsed.result) << '\n'
              << "connected model: " << parsed.connectedModel << '\n'
              << "bad items:";
    for (const int code : parsed.reportedCodes)
      std::cout << ' ' << code << " (" << ItemOfCode(code) << ')';
    std::cout << (parsed.reportedCodes.empty() ? " none\n" : "\n");
    PrintRecordTable(std::cout, record, options.model);
  }
  return parsed.result == ReadResult::kDone ? kExitOk : kExitFailed;
}

}  // namespace

void AddDecodeCommand(front::CommandLine& line, CommandEnv& env) {
  auto options = std::make_shared<DecodeOptions>();
  CLI::App* command = line.app().add_subcommand(
      "decode",
      "Parse the raw bytes of a printer reply exactly as a read does (at most the first 4096 "
      "bytes are used) and print the result, the record and the items reported as bad. Exit "
      "status 0 when the reply carried the settings.");
  command
      ->add_option("--mode", options->mode,
                   "Read mode: 1 Read, 3 after a factory default, 7 start-up (checks the model)")
      ->check(CLI::IsMember(ReadModeNumbers()))
      ->default_str("1");
  AddModelOption(*command, options->model)
      ->description("Model of the selected printer (mode 7 compares the reply's model with it)");
  command
      ->add_option("--connected", options->connected,
                   "Model code the previous start-up read saw: 0 none, 17 HX310, 19 HX320")
      ->check(CLI::IsMember({0, 17, 19}))
      ->default_str("0");
  command->add_option(
      "--base", options->base,
      "Setting file holding the record before the read (default: the factory defaults)");
  command->add_flag("--json", options->json,
                    "Print one JSON object: result, record, bad_items, connected_model");
  command->add_option("REPLY", options->reply, "File holding the reply bytes")->required();
  line.OnRun(*command, [&env, options] { return Decode(env, *options); });
}

}  // namespace rovant::cli
