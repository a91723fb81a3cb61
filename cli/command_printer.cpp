// rovantctl read | transfer | default | list --printer ADDRESS
// The same read and write operations as the setup program, reporting their
// messages on standard error and waiting the printer protocol's fixed times.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/console_host.hpp"
#include "cli/printer_session.hpp"
#include "cli/record_output.hpp"
#include "fleet/profile.hpp"
#include "model/catalogue.hpp"
#include "protocol/read_settings.hpp"
#include "protocol/show_message.hpp"
#include "protocol/write_settings.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant::cli {
namespace {

constexpr std::string_view kOtherPrinter =
    "Different printer is connected. \n Confirm the connected printer";
// The wait between a factory default and reading the settings back.
constexpr unsigned kWaitBeforeReadBack = 2000;

struct PrinterOptions {
  std::string printer;
  std::string state;
  std::string file;   // transfer: the settings to send; read: where to save them
  std::string paper;  // list: where the simulated paper goes
  ModelCode expected = ModelCode::kHx320;
  bool expectedGiven = false;
  bool json = false;
  bool noVerify = false;  // transfer: do not read back and compare
};

// One command's run: the session, the operation's surroundings and the state.
class Run {
 public:
  Run(CommandEnv& env, const PrinterOptions& options)
      : env_(env), options_(options), clock_(std::cerr), host_(std::cerr), messages_(std::cerr) {}

  // Opens the printer; false (reported) when it cannot be.
  bool Open() {
    const Expected<PrinterAddress> address = ParsePrinterAddress(options_.printer);
    if (!address) {
      std::cerr << "rovantctl: --printer: " << address.error() << '\n';
      return false;
    }
    if (address->kind != PrinterKind::kSimulator && !options_.state.empty()) {
      std::cerr << "rovantctl: --state is ignored for a real printer: it keeps its own memory\n";
    }
    session_ = PrinterSession::Open(*address, options_.state, env_.fs, clock_, std::cerr);
    if (!session_) return false;
    state_.settings = kFactoryDefaults;
    state_.selectedPrinter.printerName = options_.printer;
    // A printer on TCP or on a LAN port is reached the way a network printer is.
    state_.selectedPrinter.portState =
        address->kind == PrinterKind::kTcp || address->kind == PrinterKind::kLan ? kPortLan
                                                                                 : kPortLocal;
    state_.selectedPrinter.modelCode =
        options_.expectedGiven ? options_.expected : session_->model();
    return true;
  }
  bool Close() {
    // The connection's own explanation, after the operation's message.
    const std::string error = session_->linkError();
    if (!error.empty()) std::cerr << "rovantctl: " << error << '\n';
    return session_->Close(std::cerr);
  }

  PrinterOperationContext Context() {
    return PrinterOperationContext{state_,  session_->link(), clock_, host_,
                                   cursor_, messages_,        page_};
  }
  // Runs the write; a printer that reset the connection right after the last
  // send did not take it.
  WriteResult Write(WriteMode mode) {
    PrinterOperationContext context = Context();
    const WriteResult result = WritePrinterSettings(mode, kNoWindow, context);
    if (result == WriteResult::kDone && session_->endFailed()) return WriteResult::kFailed;
    return result;
  }
  ReadResult Read(ReadMode mode) {
    PrinterOperationContext context = Context();
    return ReadPrinterSettings(mode, kNoWindow, context);
  }
  void NoResponse() {
    ShowMessage(messages_, msg::kUserIconOk, msg::kNoResponse, msg::kIconError, 0, kNoWindow);
  }
  void PrintSettings() {
    if (options_.json) {
      std::cout << nlohmann::json{{"printer", options_.printer},
                                  {"model", NameOf(state_.selectedPrinter.modelCode)},
                                  {"items", RecordItemsJson(state_.settings,
                                                            state_.selectedPrinter.modelCode)}}
                       .dump(2)
                << '\n';
    } else {
      PrintRecordTable(std::cout, state_.settings, state_.selectedPrinter.modelCode);
    }
  }

  AppState state_;
  std::unique_ptr<PrinterSession> session_;
  CommandEnv& env_;
  const PrinterOptions& options_;
  ConsoleClock clock_;
  ConsoleHost host_;
  ConsoleMessages messages_;
  NoCursor cursor_;
  NoPage page_;
};

int ReadCommand(CommandEnv& env, const PrinterOptions& options) {
  Run run(env, options);
  if (!run.Open()) return kExitFailed;
  const ReadResult result = run.Read(ReadMode::kStartUp);
  const bool kept = run.Close();
  if (result == ReadResult::kOtherModel) {
    ShowMessage(run.messages_, msg::kUserIconOk, kOtherPrinter, msg::kIconWarning, 0, kNoWindow);
    return kExitFailed;
  }
  if (result != ReadResult::kDone) {
    run.NoResponse();
    return kExitFailed;
  }
  run.PrintSettings();
  if (!options.file.empty() &&
      !Reported(WriteRecord(env.fs, options.file, run.state_.settings), std::cerr))
    return kExitFailed;
  return kept ? kExitOk : kExitFailed;
}

int TransferCommand(CommandEnv& env, const PrinterOptions& options) {
  const Expected<SettingsRecord> record = LoadRecord(env.fs, options.file);
  if (!Reported(record, std::cerr)) return kExitFailed;
  Run run(env, options);
  if (!run.Open()) return kExitFailed;
  run.state_.settings = *record;
  const WriteResult result = run.Write(WriteMode::kTransfer);
  // Read back what the printer stored and compare every item sent.
  const bool verify = result == WriteResult::kDone && !options.noVerify;
  const bool readBack = verify && run.Read(ReadMode::kRead) == ReadResult::kDone;
  const bool kept = run.Close();
  if (result == WriteResult::kFailed || (verify && !readBack)) run.NoResponse();
  if (result != WriteResult::kDone || !kept || (verify && !readBack)) return kExitFailed;
  if (!verify) return kExitOk;
  const std::vector<fleet::ItemDifference> differences =
      fleet::Differences(*record, run.state_.settings, run.state_.selectedPrinter.modelCode);
  if (differences.empty()) {
    std::cout << "applied\n";
  } else {
    std::cout << "differs:\n";
    for (const fleet::ItemDifference& d : differences) {
      std::cout << "  " << ItemKey(d.item) << " want " << Quoted(d.want) << " got " << Quoted(d.got)
                << '\n';
    }
  }
  std::cout.flush();
  return differences.empty() && std::cout ? kExitOk : kExitFailed;
}

int DefaultCommand(CommandEnv& env, const PrinterOptions& options) {
  Run run(env, options);
  if (!run.Open()) return kExitFailed;
  // A write that did not go through reads as a read that failed.
  ReadResult result = ReadResult::kFailed;
  if (run.Write(WriteMode::kFactoryDefault) == WriteResult::kDone) {
    run.clock_.SleepMs(kWaitBeforeReadBack);
    result = run.Read(ReadMode::kAfterDefault);
  }
  const bool kept = run.Close();
  if (result != ReadResult::kDone) {
    run.NoResponse();
    return kExitFailed;
  }
  run.PrintSettings();
  return kept ? kExitOk : kExitFailed;
}

int ListCommand(CommandEnv& env, const PrinterOptions& options) {
  Run run(env, options);
  if (!run.Open()) return kExitFailed;
  const WriteResult result = run.Write(WriteMode::kListPrint);
  const bool kept = run.Close();
  if (result != WriteResult::kDone) {
    run.NoResponse();
    return kExitFailed;
  }
  if (!run.session_->simulated()) {
    std::cerr << "rovantctl: the printer prints its setting list on its own paper\n";
    return kept ? kExitOk : kExitFailed;
  }
  const std::string paper = run.session_->paper();
  if (options.paper.empty()) {
    std::cout << paper;
  } else {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(paper.data()),
                                              paper.size());
    if (!Reported(WriteBytes(env.fs, options.paper, bytes), std::cerr)) return kExitFailed;
  }
  return kept ? kExitOk : kExitFailed;
}

// Accepts what ParsePrinterAddress accepts, and says why not otherwise.
CLI::Validator PrinterValidator() {
  return CLI::Validator(
      [](std::string& text) {
        const Expected<PrinterAddress> address = ParsePrinterAddress(text);
        return address ? std::string() : address.error();
      },
      "PRINTER");
}

struct Registered {
  CLI::App* command;
  std::shared_ptr<PrinterOptions> options;
};

Registered AddPrinterCommand(front::CommandLine& line, CommandEnv& env, const char* name,
                             const char* description,
                             int (*body)(CommandEnv&, const PrinterOptions&)) {
  auto options = std::make_shared<PrinterOptions>();
  CLI::App* command = line.app().add_subcommand(name, description);
  command->add_option("--printer", options->printer, "The printer: " + PrinterForms(true))
      ->required()
      ->check(PrinterValidator());
  command->add_option("--state", options->state,
                      "File keeping the simulated printer's memory between commands (87 bytes; "
                      "missing: factory settings)");
  CLI::Option* expected =
      AddModelOption(*command, options->expected)
          ->description(
              "The model the printer is expected to be (default: the printer's own); "
              "decides the WIDTH and CSF-ADJ entries and, for read, the model check")
          ->default_str("");
  line.OnRun(*command, [&env, options, body, expected] {
    options->expectedGiven = expected->count() > 0;
    return body(env, *options);
  });
  return {command, options};
}

}  // namespace

void AddPrinterCommands(front::CommandLine& line, CommandEnv& env) {
  const Registered read = AddPrinterCommand(
      line, env, "read",
      "Read the printer's settings as the setup program does at start-up (the model is checked) "
      "and print them like 'show'.",
      ReadCommand);
  read.command->add_option("-o,--output", read.options->file,
                           "Also save the settings read to this setting file");
  read.command->add_flag("--json", read.options->json, "Print JSON instead of a table");

  const Registered transfer = AddPrinterCommand(
      line, env, "transfer",
      "Send the settings of a setting file to the printer, which then stores them; then read "
      "them back and say \"applied\" or name each item that differs.",
      TransferCommand);
  transfer.command->add_option("FILE", transfer.options->file, "Setting file (.fom) to send")
      ->required();
  transfer.command->add_flag("--no-verify", transfer.options->noVerify,
                             "Do not read the settings back and compare every item sent");

  const Registered reset = AddPrinterCommand(
      line, env, "default",
      "Return the printer to its factory settings, wait, read them back and print them.",
      DefaultCommand);
  reset.command->add_flag("--json", reset.options->json, "Print JSON instead of a table");

  const Registered list =
      AddPrinterCommand(line, env, "list", "Make the printer print its setting list.", ListCommand);
  list.command->add_option("--paper", list.options->paper,
                           "Write what the simulated printer printed to this file (default: "
                           "standard output)");
}

}  // namespace rovant::cli
