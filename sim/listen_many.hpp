// rovant-printer-sim --listen-many: a fleet of simulated printers in one
// process, printer i on port PORT+i with its memory in DIR/printer-i.state,
// each serving its own sessions on its own thread.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"
#include "sim/sim_listen.hpp"
#include "sim/sim_program.hpp"

namespace rovant::sim {

inline constexpr int kMaxFleetPrinters = 1000;

struct ListenManyOptions {
  ListenAddress first;  // printer 0's address; port 0: each printer takes any free port
  int count = 1;
  std::string stateDir;  // "": memories start as the factory settings and are not kept
  int maxSessions = 0;   // per printer; 0: serve until killed
};

// "3:silent,7:silent,5:report-model,4:drop-item=MENU1.PITCH,2:refuse": faults
// added to the given printers' own (silent: switched off; refuse: the second
// send of each session refused; report-model[=M]: answers as the other model
// or M; drop-item=ITEM and bad-item=ITEM as the options of those names).
// Printers outside 0..count-1 and unknown faults are refused with the reason.
Expected<std::map<int, Faults>> ParseFleetFaults(std::string_view text, int count, ModelCode model);

// Loads each memory, listens on every port, prints one "listening on
// HOST:PORT" line per printer (in order) on `out`, then serves all printers at
// once; after each session prints "printer I: session N: B bytes received, R
// replied" and saves that printer's memory. `perPrinter` faults are added to
// options.faults. Returns a SimExit.
int RunListenManyProgram(const SimOptions& options, const ListenManyOptions& many,
                         const std::map<int, Faults>& perPrinter, FileSystem& fs, std::ostream& out,
                         std::ostream& err);

}  // namespace rovant::sim
