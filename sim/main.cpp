// rovant-printer-sim: a simulated HX310/HX320 answering one session of the
// setup command language read from standard input.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli_front/command_line.hpp"
#include "cli_front/standard_output.hpp"
#include "platform/native_file_system.hpp"
#include "rovant_version.h"
#include "sim/listen_many.hpp"
#include "sim/printer_options.hpp"
#include "sim/sim_listen.hpp"
#include "sim/sim_program.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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

struct ListenTexts {
  std::string listen;      // HOST:PORT, empty: one session from standard input
  int maxSessions = 0;     // with --listen: stop after this many sessions, 0 never
  std::string listenMany;  // HOST:PORT of printer 0 of a simulated fleet
  int count = 1;
  std::string stateDir;
  std::string faultsFor;
};

void SetBinaryStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

int ListenManyRefused(const std::string& reason) {
  std::cerr << "--listen-many: " << reason << '\n';
  return kSimUsage;
}

// After the command line is read: checks the names given, opens the paper file and runs one
// session, a listener or a simulated fleet.
int RunPrinter(SimOptions options, const PrinterOptionTexts& texts, const ListenTexts& raw) {
  if (const rovant::Expected<void> resolved = ResolvePrinterOptions(texts, options); !resolved) {
    std::cerr << resolved.error() << '\n';
    return kSimUsage;
  }
  rovant::NativeFileSystem fs;
  std::ofstream paperFile;
  if (!texts.paperPath.empty()) {
    errno = 0;
    paperFile.open(texts.paperPath, std::ios::binary | std::ios::app);
    if (!paperFile) {
      const int error = errno;
      std::cerr << "rovant-printer-sim: the paper file " << texts.paperPath
                << " cannot be opened: " << (error != 0 ? std::strerror(error) : "open error")
                << '\n';
      return kSimFailed;
    }
    options.paperName = texts.paperPath;
  }
  std::ostream& paper = texts.paperPath.empty() ? std::cerr : paperFile;
  if (!raw.listenMany.empty() && !options.show) {
    const rovant::Expected<ListenAddress> address = ParseListenAddress(raw.listenMany);
    if (!address) return ListenManyRefused(address.error());
    if (!options.statePath.empty())
      return ListenManyRefused("--state is for one printer; use --state-dir");
    const rovant::Expected<std::map<int, Faults>> faults =
        ParseFleetFaults(raw.faultsFor, raw.count, options.model);
    if (!faults) return ListenManyRefused(faults.error());
    ListenManyOptions many;
    many.first = *address;
    many.count = raw.count;
    many.stateDir = raw.stateDir;
    many.maxSessions = raw.maxSessions;
    return RunListenManyProgram(options, many, *faults, fs, std::cout, std::cerr);
  }
  if (!raw.listen.empty() && !options.show) {
    const rovant::Expected<ListenAddress> address = ParseListenAddress(raw.listen);
    if (!address) {
      std::cerr << "--listen: " << address.error() << '\n';
      return kSimUsage;
    }
    ListenOptions listen;
    listen.address = *address;
    listen.maxSessions = raw.maxSessions;
    return RunListenProgram(options, listen, fs, std::cout, paper, std::cerr);
  }
  return RunSimProgram(options, fs, std::cin, std::cout, paper, std::cerr);
}

int Run(int argc, char** argv) {
  SimOptions options;
  PrinterOptionTexts texts;
  ListenTexts raw;

  rovant::front::CommandLine line{kDescription, "rovant-printer-sim", {.usage = kSimUsage}};
  CLI::App& app = line.app();
  app.footer(kFooter);
  app.set_version_flag("--version", "rovant-printer-sim " ROVANT_VERSION_TEXT);
  AddPrinterOptions(app, texts, options);
  app.add_flag("--show", options.show, "print the memory as BLOCK ITEM VALUE lines and stop");
  app.add_option("--listen", raw.listen,
                 "serve sessions on this TCP address (e.g. 127.0.0.1:9100; port 0: any free\n"
                 "port) instead of standard input: each connection is one session, the reply\n"
                 "goes back on it; prints \"listening on HOST:PORT\" first");
  app.add_option("--max-sessions", raw.maxSessions,
                 "with --listen: stop after N sessions (default: serve until killed)")
      ->check(CLI::Range(1, 1000000));

  app.add_option("--listen-many", raw.listenMany,
                 "serve --count printers from this process: printer i on PORT+i (port 0: any\n"
                 "free ports), one \"listening on HOST:PORT\" line each, a line per session");
  app.add_option("--count", raw.count, "with --listen-many: how many printers")
      ->check(CLI::Range(1, kMaxFleetPrinters));
  app.add_option("--state-dir", raw.stateDir,
                 "with --listen-many: printer i keeps its memory in DIR/printer-i.state");
  app.add_option("--faults-for", raw.faultsFor,
                 "with --listen-many: faults of single printers, e.g. 3:silent,5:report-model,\n"
                 "4:drop-item=MENU1.PITCH,2:refuse,6:bad-item=CONFIG.LOCK");

  line.OnRun(app, [&] { return RunPrinter(options, texts, raw); });
  return line.Run(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  SetBinaryStreams();
  return rovant::front::CheckedOutput("rovant-printer-sim", Run(argc, argv));
}
