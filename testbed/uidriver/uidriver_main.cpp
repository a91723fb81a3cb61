// rovant-uidriver.exe: the UI driver from a shell script (scripts/demo-wine.sh) beside the
// program under Wine. A command's window is named by --class and --caption and waited for up to
// --timeout milliseconds.
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli_front/command_line.hpp"
#include "testbed/uidriver/uidriver.hpp"

namespace {

using namespace rovant::uidriver;

struct Options {
  std::string className;
  std::string caption;
  DWORD timeoutMs = 10000;
  std::string item;  // select-row: the row; press: the button; combo: the control id
  DWORD settleMs = 0;
};

int NotFound(const std::string& what) {
  std::cerr << "rovant-uidriver: " << what << "\n" << DescribeWindows();
  return 1;
}

// The window the options name (without --class and --caption: a message box), waited for.
HWND Resolve(const Options& o) {
  WindowQuery query = MessageBoxQuery(0);
  if (!o.className.empty() || !o.caption.empty()) query = {};
  if (!o.className.empty()) query.className = Widen(o.className);
  if (!o.caption.empty()) query.caption = Widen(o.caption);
  return WaitWindow(query, o.timeoutMs);
}

int WaitForWindow(const Options& o) {
  HWND window = Resolve(o);
  if (window != nullptr && o.settleMs > 0) {
    window = WaitSoleWindow({.processId = ProcessOf(window), .className = ClassOf(window)},
                            o.settleMs, o.timeoutMs);
  }
  return window != nullptr ? 0 : NotFound("no such window (alone)");
}

int ReadBox(const Options& o) {
  HWND box = Resolve(o);
  if (box == nullptr) return NotFound("no message box");
  const MessageBoxContent content = ReadMessageBox(box);
  std::cout << "caption: " << Narrow(content.caption) << "\ntext: " << Narrow(content.text)
            << "\nbuttons:";
  for (const int id : content.buttons) std::cout << ' ' << ButtonName(id);
  std::cout << '\n';
  return 0;
}

int Press(const Options& o) {
  HWND window = Resolve(o);
  int id = std::atoi(o.item.c_str());
  for (int button = IDOK; button <= IDNO; ++button)
    if (ButtonName(button) == o.item) id = button;
  if (window != nullptr && id != 0 && ClickButton(FindChild(window, id))) return 0;
  return NotFound("no enabled button " + o.item);
}

int SelectRow(const Options& o) {
  HWND window = Resolve(o);
  const std::vector<HWND> lists =
      window != nullptr ? FindChildren(window, L"SysListView32") : std::vector<HWND>{};
  if (!lists.empty() &&
      SelectListViewRow(lists.front(), FindListViewRow(lists.front(), Widen(o.item))))
    return 0;
  return NotFound("no row \"" + o.item + "\"");
}

int Combo(const Options& o) {
  HWND window = Resolve(o);
  HWND combo = window != nullptr ? FindChild(window, std::atoi(o.item.c_str())) : nullptr;
  if (combo == nullptr) return NotFound("no combo box " + o.item);
  std::cout << Narrow(ComboText(combo).value_or(L"")) << '\n';
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  rovant::front::CommandLine line{
      "Drives the windows of programs running beside it under Wine. Exit status: 0 done, 1 window "
      "or item not found (the windows on screen are listed on standard error), 2 bad usage.",
      "rovant-uidriver"};
  CLI::App& app = line.app();
  app.require_subcommand(1);
  app.allow_windows_style_options(false);
  const auto command = [&](const char* name, const char* help, int (*body)(const Options&)) {
    auto options = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand(name, help);
    sub->add_option("--class", options->className, "the window's class, e.g. #32770");
    sub->add_option("--caption", options->caption, "the window's exact caption");
    sub->add_option("--timeout", options->timeoutMs, "milliseconds to wait (default 10000)");
    line.OnRun(*sub, [options, body] { return body(*options); });
    return std::pair{sub, options};
  };
  auto [wait, waitOptions] = command("wait-window", "wait for a window", WaitForWindow);
  wait->add_option("--alone", waitOptions->settleMs,
                   "and until it is the only window its process shows, enabled, this long (ms)");
  command("box", "wait for a message box and print its caption, text and buttons", ReadBox);
  auto [press, pressOptions] =
      command("press", "press a button of the window (default: the first message box)", Press);
  press->add_option("button", pressOptions->item, "OK, Cancel, Yes, No, ... or a control id")
      ->required();
  auto [select, selectOptions] =
      command("select-row", "select the list view row whose first column is TEXT", SelectRow);
  select->add_option("text", selectOptions->item)->required();
  auto [combo, comboOptions] = command("combo", "print a combo box's selected item", Combo);
  combo->add_option("id", comboOptions->item, "the combo box's control id")->required();
  return line.Run(argc, argv);
}
