#include "sim/listen_many.hpp"

#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "sim/printer_state.hpp"

namespace rovant::sim {
namespace {

// One simulated printer of the fleet and where it listens.
struct FleetPrinter {
  int index = 0;
  std::string statePath;
  std::unique_ptr<SimulatedPrinter> printer;
  SimListener listener;
};

void AddFaults(Faults& into, const Faults& more) {
  into.switchedOff = into.switchedOff || more.switchedOff;
  if (more.refuseSend != 0) into.refuseSend = more.refuseSend;
  if (more.reportedModel) into.reportedModel = more.reportedModel;
  into.badValues.insert(into.badValues.end(), more.badValues.begin(), more.badValues.end());
  into.dropOnSave.insert(into.dropOnSave.end(), more.dropOnSave.begin(), more.dropOnSave.end());
}

}  // namespace

Expected<std::map<int, Faults>> ParseFleetFaults(std::string_view text, int count,
                                                 ModelCode model) {
  std::map<int, Faults> faults;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const std::size_t colon = part.find(':');
    int index = -1;
    if (colon != std::string_view::npos && colon > 0 && colon <= 4) {
      index = 0;
      for (const char c : part.substr(0, colon)) {
        index = c >= '0' && c <= '9' ? index * 10 + (c - '0') : -1;
        if (index < 0) break;
      }
    }
    if (index < 0 || index >= count) {
      return Fail("\"" + std::string(part) + "\": PRINTER:FAULT with a printer from 0 to " +
                  std::to_string(count - 1) + " expected");
    }
    const std::string_view fault = part.substr(colon + 1);
    const std::size_t equals = fault.find('=');
    const std::string_view name = fault.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : fault.substr(equals + 1);
    Faults& f = faults[index];
    if (name == "silent" && value.empty()) {
      f.switchedOff = true;
    } else if (name == "refuse" && value.empty()) {
      f.refuseSend = 2;
    } else if (name == "report-model") {
      const std::optional<ModelCode> other =
          value.empty() ? (model == ModelCode::kHx310 ? ModelCode::kHx320 : ModelCode::kHx310)
                        : ParseModelName(value);
      if (!other) {
        return Fail("\"" + std::string(part) + "\": HX310 or HX320 expected");
      }
      f.reportedModel = other;
    } else if (name == "drop-item" || name == "bad-item") {
      const std::optional<ItemIndex> item = ParseItemName(value);
      if (!item) {
        return Fail("\"" + std::string(part) + "\": no item " + std::string(value));
      }
      (name == "drop-item" ? f.dropOnSave : f.badValues).push_back(*item);
    } else {
      return Fail("\"" + std::string(part) +
                  "\": faults are silent, refuse, report-model[=M], drop-item=ITEM, bad-item=ITEM");
    }
  }
  return faults;
}

int RunListenManyProgram(const SimOptions& options, const ListenManyOptions& many,
                         const std::map<int, Faults>& perPrinter, FileSystem& fs, std::ostream& out,
                         std::ostream& err) {
  std::vector<std::unique_ptr<FleetPrinter>> fleet;
  for (int i = 0; i < many.count; ++i) {
    auto entry = std::make_unique<FleetPrinter>();
    entry->index = i;
    SimOptions own = options;
    if (!many.stateDir.empty()) {
      own.statePath = many.stateDir + "/printer-" + std::to_string(i) + ".state";
      entry->statePath = own.statePath;
    }
    const Expected<SettingsRecord> memory = LoadStartingMemory(own, fs);
    if (!memory) {
      err << "rovant-printer-sim: " << memory.error() << '\n';
      return kSimFailed;
    }
    entry->printer = std::make_unique<SimulatedPrinter>(options.model, *memory);
    entry->printer->faults() = options.faults;
    if (const auto found = perPrinter.find(i); found != perPrinter.end())
      AddFaults(entry->printer->faults(), found->second);
    ListenAddress address = many.first;
    if (address.port != 0) address.port = static_cast<std::uint16_t>(address.port + i);
    if (const Expected<void> listening = entry->listener.Listen(address); !listening) {
      err << "rovant-printer-sim: printer " << i << ": " << listening.error() << '\n';
      return kSimFailed;
    }
    fleet.push_back(std::move(entry));
  }
  for (const auto& entry : fleet) {
    out << "listening on " << many.first.host << ':' << entry->listener.port() << '\n';
  }
  out.flush();

  std::mutex outputs;
  int exit = kSimOk;
  ListenOptions listen;
  listen.maxSessions = many.maxSessions;
  std::vector<std::thread> threads;
  threads.reserve(fleet.size());
  for (const auto& entry : fleet) {
    threads.emplace_back([&, printer = entry.get()] {
      int sessions = 0;
      printer->listener.Serve(*printer->printer, listen, [&](const SessionReport& report) {
        ++sessions;
        const Expected<void> saved =
            printer->statePath.empty()
                ? Expected<void>()
                : SavePrinterState(fs, printer->statePath, printer->printer->memory());
        const std::lock_guard lock(outputs);
        out << "printer " << printer->index << ": session " << sessions << ": " << report.received
            << " bytes received, " << report.replied << " replied\n"
            << std::flush;
        if (!saved) {
          err << "rovant-printer-sim: printer " << printer->index << ": " << saved.error() << '\n';
          exit = kSimFailed;
        }
        return saved.has_value();
      });
    });
  }
  for (std::thread& thread : threads) thread.join();
  return exit;
}

}  // namespace rovant::sim
