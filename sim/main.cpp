// rovant-printer-sim: a simulated HX310/HX320 answering one session of the
// setup command language read from standard input.
#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "platform/native_file_system.hpp"
#include "sim/sim_program.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include "sim/sim_listen.hpp"
#endif

namespace {

using namespace rovant::sim;

constexpr const char* kDescription =
    "rovant-printer-sim - a simulated HX310 or HX320 printer for testing ROVANT.\n"
    "Reads the bytes of one session's sends from standard input (binary): each\n"
    "ESC \"eONLINE\" online sequence is one send, the bytes between them another.\n"
    "Carries out the commands, queries and setting text the way the printer does,\n"
    "writes the reply bytes (at most 4096) to standard output, and prints setting\n"
    "lists (LIST) to the --paper file or else to standard error.";

constexpr const char* kFooter =
    "The state file holds the printer's memory: the 87 bytes of a setting file.\n"
    "A missing state file starts from the factory settings; the memory is saved\n"
    "back to it after the session. Without --state the memory starts as the\n"
    "factory settings and is not kept.\n"
    "Exit status: 0 success, 1 failure (damaged state file, switched off, a send\n"
    "refused, a file not written), 2 wrong usage.";

struct RawOptions {
  std::string model = "HX320";
  std::string reportModel;
  std::string paperPath;
  std::vector<std::string> badItems;
  std::string listen;   // HOST:PORT, empty: one session from standard input
  int maxSessions = 0;  // with --listen: stop after this many sessions, 0 never
};

void SetBinaryStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

// Turns the names given into options; false (after saying why) on a bad name.
bool Resolve(const RawOptions& raw, SimOptions& options) {
  const std::optional<rovant::ModelCode> model = ParseModelName(raw.model);
  if (!model) {
    std::cerr << "--model: HX310 or HX320 expected, not " << raw.model << '\n';
    return false;
  }
  options.model = *model;
  if (!raw.reportModel.empty()) {
    options.faults.reportedModel = ParseModelName(raw.reportModel);
    if (!options.faults.reportedModel) {
      std::cerr << "--report-model: HX310 or HX320 expected, not " << raw.reportModel << '\n';
      return false;
    }
  }
  for (const std::string& name : raw.badItems) {
    const std::optional<rovant::ItemIndex> item = ParseItemName(name);
    if (!item) {
      std::cerr << "--bad-item: no item " << name << " (BLOCK.ITEM, e.g. MENU1.PITCH)\n";
      return false;
    }
    options.faults.badValues.push_back(*item);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SetBinaryStreams();
  SimOptions options;
  RawOptions raw;

  CLI::App app{kDescription, "rovant-printer-sim"};
  app.footer(kFooter);
  app.add_option("--model", raw.model, "the printer model: HX310 or HX320 (default HX320)");
  app.add_option("--state", options.statePath,
                 "state file: memory loaded at the start and saved at the end");
  app.add_option("--paper", raw.paperPath, "append printed setting lists to this file");
  app.add_flag("--show", options.show, "print the memory as BLOCK ITEM VALUE lines and stop");
  app.add_flag("--switched-off", options.faults.switchedOff,
               "fault: every send refused, no reply (exit 1)");
  app.add_option("--refuse-send", options.faults.refuseSend,
                 "fault: refuse the N-th send of the session, the online sequence being the 1st")
      ->check(CLI::Range(0, 1000000));
  app.add_option("--report-model", raw.reportModel, "fault: answer ?MODEL with this model");
  app.add_option("--bad-item", raw.badItems,
                 "fault: this item's value goes out as ??????? (repeatable), e.g. MENU1.PITCH");
  app.add_flag("--noise", options.faults.noise, "fault: junk bytes between reply lines");
  app.add_flag("--oversize-reply", options.faults.oversizeReply,
               "fault: pad the reply with junk beyond 4096 bytes (cut at 4096)");
  app.add_flag("--no-settings-marker", options.faults.noSettingsMarker,
               "fault: the settings come without the ?NVRAM marker");
#ifndef _WIN32
  app.add_option("--listen", raw.listen,
                 "serve sessions on this TCP address (e.g. 127.0.0.1:9100; port 0: any free\n"
                 "port) instead of standard input: each connection is one session, the reply\n"
                 "goes back on it; prints \"listening on HOST:PORT\" first");
  app.add_option("--max-sessions", raw.maxSessions,
                 "with --listen: stop after N sessions (default: serve until killed)")
      ->check(CLI::Range(1, 1000000));
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kSimUsage;
  }
  if (!Resolve(raw, options)) return kSimUsage;

  rovant::NativeFileSystem fs;
  std::ofstream paperFile;
  if (!raw.paperPath.empty()) {
    paperFile.open(raw.paperPath, std::ios::binary | std::ios::app);
    if (!paperFile) {
      std::cerr << "rovant-printer-sim: paper file " << raw.paperPath << " cannot be opened\n";
      return kSimFailed;
    }
  }
  std::ostream& paper = raw.paperPath.empty() ? std::cerr : paperFile;
#ifndef _WIN32
  if (!raw.listen.empty() && !options.show) {
    ListenOptions listen;
    std::string error;
    const std::optional<ListenAddress> address = ParseListenAddress(raw.listen, error);
    if (!address) {
      std::cerr << "--listen: " << error << '\n';
      return kSimUsage;
    }
    listen.address = *address;
    listen.maxSessions = raw.maxSessions;
    return RunListenProgram(options, listen, fs, std::cout, paper, std::cerr);
  }
#endif
  return RunSimProgram(options, fs, std::cin, std::cout, paper, std::cerr);
}
