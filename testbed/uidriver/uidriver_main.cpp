// rovant-uidriver.exe: the UI driver from a shell script or by hand, beside the program under
// Wine. Windows are chosen by --pid, --class, --caption or --window (a handle in hex); each
// command waits for its window up to --timeout milliseconds.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "testbed/uidriver/uidriver.hpp"

namespace {

using namespace rovant::uidriver;

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

struct Target {
  DWORD pid = 0;
  std::string className;
  std::string caption;
  std::string handle;
  DWORD timeoutMs = 10000;
};

void AddTargetOptions(CLI::App& command, Target& target) {
  command.add_option("--pid", target.pid, "only windows of this process id");
  command.add_option("--class", target.className, "the window's class, e.g. #32770");
  command.add_option("--caption", target.caption, "the window's exact caption");
  command.add_option("--window", target.handle, "the window's handle in hex (from list-windows)");
  command.add_option("--timeout", target.timeoutMs,
                     "milliseconds to wait for the window (default 10000)");
}

std::string Hex(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

// The window the options name, waited for; null (and a message) if none.
HWND Resolve(const Target& target) {
  if (!target.handle.empty()) {
    const auto value = std::stoull(target.handle, nullptr, 16);
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    if (::IsWindow(window) != FALSE) return window;
    std::cerr << "rovant-uidriver: " << target.handle << " is not a window\n";
    return nullptr;
  }
  WindowQuery query;
  query.processId = target.pid;
  if (!target.className.empty()) query.className = Widen(target.className);
  if (!target.caption.empty()) query.caption = Widen(target.caption);
  HWND window = WaitWindow(query, target.timeoutMs);
  if (window == nullptr) {
    std::cerr << "rovant-uidriver: no such window within " << target.timeoutMs << " ms\n"
              << DescribeWindows(target.pid);
  }
  return window;
}

nlohmann::json BoxJson(const MessageBoxContent& box) {
  nlohmann::json buttons = nlohmann::json::array();
  for (const int id : box.buttons) buttons.push_back(ButtonName(id));
  return {{"window", Hex(box.window)},
          {"caption", Narrow(box.caption)},
          {"text", Narrow(box.text)},
          {"icon", std::string(NameOf(box.icon))},
          {"buttons", buttons}};
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Drives the windows of programs running beside it under Wine: finds windows, reads message "
      "boxes, list views and combo boxes, presses buttons, types keys and takes screenshots.",
      "rovant-uidriver"};
  app.require_subcommand(1);
  app.allow_windows_style_options(false);  // "/tmp/x.png" is a path, not an option
  app.footer(
      "Exit status: 0 done, 1 window or item not found (the windows on screen are listed on "
      "standard error), 2 bad usage.");

  Target target;
  int result = kOk;

  // list-windows
  CLI::App* list = app.add_subcommand("list-windows", "list top-level windows and their children");
  list->add_option("--pid", target.pid, "only windows of this process id (hidden ones too)");
  list->callback([&] { std::cout << DescribeWindows(target.pid); });

  // wait-window
  DWORD settleMs = 0;
  CLI::App* wait = app.add_subcommand("wait-window", "wait for a window; print its handle");
  AddTargetOptions(*wait, target);
  wait->add_option("--alone", settleMs,
                   "also wait until it is the only window its process shows, enabled, for this "
                   "many milliseconds (a main window behind dialogs and status windows)");
  wait->callback([&] {
    HWND window = Resolve(target);
    if (window != nullptr && settleMs > 0) {
      WindowQuery query;
      query.processId = ProcessOf(window);
      query.className = ClassOf(window);
      window = WaitSoleWindow(query, settleMs, target.timeoutMs);
      if (window == nullptr)
        std::cerr << "rovant-uidriver: the window was not alone within " << target.timeoutMs
                  << " ms\n"
                  << DescribeWindows(0);
    }
    if (window == nullptr) {
      result = kNotFound;
      return;
    }
    std::cout << Hex(window) << '\n';
  });

  // box
  bool json = false;
  std::string iconsFrom;
  CLI::App* box = app.add_subcommand(
      "box", "wait for a message box and print its caption, text, icon and buttons");
  box->add_option("--pid", target.pid, "only boxes of this process id");
  box->add_option("--timeout", target.timeoutMs, "milliseconds to wait (default 10000)");
  box->add_flag("--json", json, "a JSON object on one line instead of plain text");
  box->add_option("--icons-from", iconsFrom,
                  "a program (e.g. rovant.exe) whose own icons 160, 187-189 are recognised too");
  box->callback([&] {
    HWND window = WaitMessageBox(target.pid, target.timeoutMs);
    if (window == nullptr) {
      std::cerr << "rovant-uidriver: no message box within " << target.timeoutMs << " ms\n"
                << DescribeWindows(target.pid);
      result = kNotFound;
      return;
    }
    IconCandidates icons;
    if (!iconsFrom.empty() && !icons.AddFromModule(Widen(iconsFrom))) {
      std::cerr << "rovant-uidriver: " << iconsFrom << " cannot be loaded for its icons\n";
    }
    const nlohmann::json content = BoxJson(ReadMessageBox(window, icons));
    if (json) {
      std::cout << content.dump() << '\n';
      return;
    }
    std::cout << "caption: " << content["caption"].get<std::string>() << '\n'
              << "text: " << content["text"].get<std::string>() << '\n'
              << "icon: " << content["icon"].get<std::string>() << '\n'
              << "buttons:";
    for (const auto& b : content["buttons"]) std::cout << ' ' << b.get<std::string>();
    std::cout << '\n';
  });

  // press
  std::string button;
  CLI::App* press = app.add_subcommand(
      "press", "press a button of a window (default: the first message box of --pid)");
  press->add_option("button", button, "OK, Cancel, Abort, Retry, Ignore, Yes, No, or a control id")
      ->required();
  AddTargetOptions(*press, target);
  press->callback([&] {
    const bool anyWindowNamed =
        !target.handle.empty() || !target.className.empty() || !target.caption.empty();
    HWND window = anyWindowNamed ? Resolve(target) : WaitMessageBox(target.pid, target.timeoutMs);
    int id = ButtonNamed(button);
    if (id == 0) id = std::atoi(button.c_str());
    if (window == nullptr || id == 0 || !ClickButton(FindShownChild(window, id))) {
      std::cerr << "rovant-uidriver: no enabled button " << button << '\n'
                << DescribeWindows(target.pid);
      result = kNotFound;
    }
  });

  // select-row
  std::string row;
  CLI::App* select = app.add_subcommand(
      "select-row", "select the list view row whose first column is TEXT in a window");
  select->add_option("text", row, "the row's first column")->required();
  AddTargetOptions(*select, target);
  select->callback([&] {
    HWND window = Resolve(target);
    const std::vector<HWND> lists =
        window != nullptr ? FindChildren(window, L"SysListView32") : std::vector<HWND>{};
    const int index = lists.empty() ? -1 : FindListViewRow(lists.front(), Widen(row));
    if (index < 0 || !SelectListViewRow(lists.front(), index)) {
      std::cerr << "rovant-uidriver: no row \"" << row << "\"\n";
      if (!lists.empty())
        for (const auto& r : ListViewRows(lists.front())) std::cerr << "  " << Narrow(r) << '\n';
      result = kNotFound;
    }
  });

  // combo
  int comboId = 0;
  std::string choice;
  CLI::App* combo = app.add_subcommand(
      "combo", "print a combo box's items and selection (marked *), or select an item");
  combo->add_option("id", comboId, "the combo box's control id")->required();
  combo->add_option("--select", choice, "select this item, as a user's choice would");
  AddTargetOptions(*combo, target);
  combo->callback([&] {
    HWND window = Resolve(target);
    HWND control = window != nullptr ? FindShownChild(window, comboId) : nullptr;
    if (control == nullptr) {
      result = kNotFound;
      return;
    }
    if (!choice.empty()) {
      if (!SelectComboItem(control, Widen(choice))) {
        std::cerr << "rovant-uidriver: no item \"" << choice << "\"\n";
        result = kNotFound;
      }
      return;
    }
    const int selected = ComboSelection(control);
    const std::vector<std::wstring> items = ComboItems(control);
    for (std::size_t i = 0; i < items.size(); ++i)
      std::cout << (static_cast<int>(i) == selected ? "* " : "  ") << Narrow(items[i]) << '\n';
  });

  // keys
  std::vector<std::string> chords;
  CLI::App* keys = app.add_subcommand(
      "keys", "bring a window to the foreground and type key chords (needs an X display)");
  keys->add_option("chords", chords, "e.g. Tab Shift+Tab Ctrl+Tab Alt+R Escape Enter")->required();
  bool verbose = false;
  keys->add_flag("--verbose", verbose, "print the foreground window and the focus afterwards");
  AddTargetOptions(*keys, target);
  keys->callback([&] {
    std::vector<KeyChord> parsed;
    for (const std::string& c : chords) {
      const auto chord = ParseChord(c);
      if (!chord) {
        std::cerr << "rovant-uidriver: unknown key \"" << c << "\"\n";
        result = kUsage;
        return;
      }
      parsed.push_back(*chord);
    }
    HWND window = Resolve(target);
    if (window == nullptr || !BringToForeground(window) || !TypeChords(parsed)) {
      std::cerr << "rovant-uidriver: the keys could not be typed\n";
      result = kNotFound;
    }
    if (verbose) {
      std::cerr << "foreground " << Hex(::GetForegroundWindow()) << " focus "
                << Hex(FocusOf(window)) << '\n';
    }
  });

  // screenshot
  std::string file;
  CLI::App* shot = app.add_subcommand(
      "screenshot", "save the screen, or the window named by the options, as a PNG file");
  shot->add_option("file", file, "the PNG file to write")->required();
  AddTargetOptions(*shot, target);
  shot->callback([&] {
    const bool anyWindowNamed = !target.handle.empty() || !target.className.empty() ||
                                !target.caption.empty() || target.pid != 0;
    HWND window = anyWindowNamed ? Resolve(target) : nullptr;
    if ((anyWindowNamed && window == nullptr) || !SaveScreenshot(window, Widen(file))) {
      std::cerr << "rovant-uidriver: no screenshot written to " << file << '\n';
      result = kNotFound;
    }
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kUsage;
  } catch (const std::exception& e) {  // e.g. a --window that is not hex
    std::cerr << "rovant-uidriver: " << e.what() << '\n';
    return kUsage;
  }
  return result;
}
