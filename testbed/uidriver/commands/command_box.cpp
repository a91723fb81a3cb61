// rovant-uidriver box [--pid N] [--timeout MS] [--json] [--icons-from PROGRAM]
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "testbed/uidriver/commands/driver_commands.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

struct BoxOptions {
  Target target;
  bool json = false;
  std::string iconsFrom;
};

nlohmann::json BoxJson(const MessageBoxContent& box) {
  nlohmann::json buttons = nlohmann::json::array();
  for (const int id : box.buttons) buttons.push_back(ButtonName(id));
  return {{"window", Hex(box.window)},
          {"caption", Narrow(box.caption)},
          {"text", Narrow(box.text)},
          {"icon", std::string(NameOf(box.icon))},
          {"buttons", buttons}};
}

int ReadBox(const BoxOptions& options) {
  const Target& target = options.target;
  HWND window = WaitMessageBox(target.pid, target.timeoutMs);
  if (window == nullptr) {
    std::cerr << "rovant-uidriver: no message box within " << target.timeoutMs << " ms\n"
              << DescribeWindows(target.pid);
    return kDriverNotFound;
  }
  IconCandidates icons;
  if (!options.iconsFrom.empty() && !icons.AddFromModule(Widen(options.iconsFrom))) {
    std::cerr << "rovant-uidriver: " << options.iconsFrom << " cannot be loaded for its icons\n";
  }
  const nlohmann::json content = BoxJson(ReadMessageBox(window, icons));
  if (options.json) {
    std::cout << content.dump() << '\n';
    return kDriverOk;
  }
  std::cout << "caption: " << content["caption"].get<std::string>() << '\n'
            << "text: " << content["text"].get<std::string>() << '\n'
            << "icon: " << content["icon"].get<std::string>() << '\n'
            << "buttons:";
  for (const auto& b : content["buttons"]) std::cout << ' ' << b.get<std::string>();
  std::cout << '\n';
  return kDriverOk;
}

}  // namespace

void AddBoxCommand(front::CommandLine& line) {
  auto options = std::make_shared<BoxOptions>();
  CLI::App* box = line.app().add_subcommand(
      "box", "wait for a message box and print its caption, text, icon and buttons");
  box->add_option("--pid", options->target.pid, "only boxes of this process id");
  box->add_option("--timeout", options->target.timeoutMs, "milliseconds to wait (default 10000)");
  box->add_flag("--json", options->json, "a JSON object on one line instead of plain text");
  box->add_option("--icons-from", options->iconsFrom,
                  "a program (e.g. rovant.exe) whose own icons 160, 187-189 are recognised too");
  line.OnRun(*box, [options] { return ReadBox(*options); });
}

}  // namespace rovant::uidriver
