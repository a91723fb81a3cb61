#include "tests/e2e/e2e_fixture.hpp"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

#include "resources/resource_ids.h"
#include "texts/printer_messages.hpp"

namespace rovant::e2e {
namespace {

namespace fs = std::filesystem;
using namespace uidriver;

// The build's paths, given as host paths, seen through Wine's drive Z:.
fs::path Host(const char* path) { return fs::path(WindowsPath(path)); }

const fs::path kRovant = Host(ROVANT_E2E_ROVANT_EXE);
const fs::path kMonitor = Host(ROVANT_E2E_MONITOR_EXE);
const fs::path kCtl = Host(ROVANT_E2E_CTL_EXE);
const fs::path kSetup = Host(ROVANT_E2E_SETUP_EXE);
const fs::path kWorkRoot = Host(ROVANT_E2E_WORK_DIR);

// A process that Wine could not initialise (its DLLs' start-up failed, seldom, when the machine
// is busy) ran none of the program: it is started again, at most twice.
constexpr DWORD kStatusDllInitFailed = 0xC0000142;
constexpr int kStartAttempts = 3;

// Runs `program` to its end (bounded) in `folder`, its output in `output`; its exit code, or -1.
int RunToEnd(const fs::path& program, const std::vector<std::wstring>& arguments,
             const fs::path& folder, const fs::path& output) {
  for (int attempt = 1;; ++attempt) {
    Job job;
    std::string error;
    std::optional<Process> process = Process::Start(
        {program.wstring(), arguments, folder.wstring(), {}, output.wstring()}, job, error);
    if (!process) {
      ADD_FAILURE() << program << ": " << error;
      return -1;
    }
    const std::optional<DWORD> code = process->WaitExit(60000);
    if (code != kStatusDllInitFailed || attempt == kStartAttempts)
      return code ? static_cast<int>(*code) : -1;
    std::cerr << program << " was not initialised by Wine; started again\n";
    ::Sleep(500);
  }
}

// The first combo box of each page, the lowest id of the page: shown once the page is.
constexpr std::array<int, 5> kFirstCombo{kEmulateCombo, 1147, 1193, kOriginCombo, kTearOffCombo};

// The file dialog's name field: the Explorer-style dialog's combo box (cmb13) or the older
// dialog's edit control (edt1).
constexpr std::array<int, 2> kFileNameFields{0x047c, 0x0480};

int SelectedTab(HWND tabs) { return static_cast<int>(SendBounded(tabs, TCM_GETCURSEL, 0, 0, -1)); }

fs::path SettingsFile() {
  const wchar_t* appData = ::_wgetenv(L"APPDATA");
  return appData != nullptr ? fs::path(appData) / "Vek" / "ROVANT" / "rovant.ini" : fs::path();
}

}  // namespace

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const fs::path& path) {
  const Bytes bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

fs::path CaptureFile() { return Host(ROVANT_E2E_CAPTURE_FILE); }

void EndToEnd::SetUpTestSuite() {
  static bool installed = false;
  if (installed) return;
  fs::create_directories(kWorkRoot);
  const int code =
      RunToEnd(kSetup, {L"--install", L"--capture-lpt1", Widen(ROVANT_E2E_CAPTURE_FILE)}, kWorkRoot,
               kWorkRoot / "testbed-setup.out");
  ASSERT_EQ(code, 0) << "rovant-testbed-setup --install failed: "
                     << ReadText(kWorkRoot / "testbed-setup.out");
  installed = true;
}

void EndToEnd::SetUp() {
  ASSERT_TRUE(job_.valid());
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  std::ranges::replace(name, '/', '_');
  work_ = kWorkRoot / name;
  std::error_code ignored;
  fs::remove_all(work_, ignored);
  ASSERT_TRUE(fs::create_directories(work_)) << work_;
  ASSERT_FALSE(SettingsFile().empty());
  fs::remove(SettingsFile(), ignored);  // no working copy from an earlier test
}

void EndToEnd::TearDown() {
  if (HasFailure()) std::cerr << "Windows on screen:\n" << Screen();
  job_.KillAll();
  if (rovant_) (void)rovant_->WaitExit(kWaitMs);
  if (monitor_) (void)monitor_->WaitExit(kWaitMs);
  std::error_code ignored;
  fs::copy_file(SettingsFile(), work_ / "rovant.ini", fs::copy_options::overwrite_existing,
                ignored);
}

Bytes EndToEnd::MemoryWith(const std::vector<std::wstring>& settings) {
  // rovantctl takes about half a second under Wine; the same memory is asked for often.
  static std::map<std::vector<std::wstring>, Bytes> known;
  if (const auto found = known.find(settings); found != known.end()) return found->second;
  std::vector<std::vector<std::wstring>> runs{{L"defaults", L"-o", L"memory.fom"}};
  if (!settings.empty()) runs.push_back({L"set", L"memory.fom"});
  runs.back().insert(runs.back().end(), settings.begin(), settings.end());
  for (const auto& run : runs)
    EXPECT_EQ(RunToEnd(kCtl, run, work_, work_ / "rovantctl.out"), 0)
        << ReadText(work_ / "rovantctl.out");
  Bytes memory = ReadBytes(work_ / "memory.fom");
  if (memory.size() == 87) known.emplace(settings, memory);
  return memory;
}

std::string EndToEnd::StartServer(std::optional<Process>& process, const fs::path& program,
                                  const std::vector<std::wstring>& arguments,
                                  const std::string& name, const std::string& ready) {
  const fs::path output = work_ / (name + ".out");
  std::string error;
  process = Process::Start({program.wstring(), arguments, work_.wstring(), {}, output.wstring()},
                           job_, error);
  if (!process) {
    ADD_FAILURE() << program << ": " << error;
    return {};
  }
  std::string said;
  std::optional<std::string> rest;
  WaitUntil(
      [&] {
        said = ReadText(output);
        const std::size_t at = said.find(ready);
        const std::size_t end = at == std::string::npos ? at : said.find_first_of("\r\n", at);
        if (end != std::string::npos)
          rest = said.substr(at + ready.size(), end - at - ready.size());
        return rest.has_value() || !process->Running();
      },
      kWaitMs);
  EXPECT_TRUE(rest && process->Running()) << name << " did not say \"" << ready << "\": " << said;
  return rest.value_or("");
}

void EndToEnd::StartMonitor(const std::vector<std::wstring>& options,
                            const std::optional<Bytes>& memory) {
  const fs::path state = work_ / "monitor.fom";
  if (memory) WriteBytes(state, *memory);
  std::vector<std::wstring> arguments{L"--state", state.wstring(), L"--idle-exit", L"300"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  StartServer(monitor_, kMonitor, arguments, "monitor", "monitoring ");
}

void EndToEnd::StartNextMonitor(const std::vector<std::wstring>& options,
                                const std::optional<Bytes>& memory) {
  // A run of one job ends after it, its state file saved; the next run writes its output afresh.
  ASSERT_TRUE(monitor_ && monitor_->WaitExit(kWaitMs))
      << "the monitor run did not end after its job: " << MonitorOutput();
  StartMonitor(options, memory);
  // The mailbox still holds the end of the last job, which the new run tells once as its own
  // (within a few milliseconds); jobs are counted from there.
  WaitUntil([&] { return JobsEnded() >= 1; }, 1000);
  jobsBefore_ = JobsEnded();
}

int EndToEnd::JobsEnded() const {
  const std::string output = MonitorOutput();
  int jobs = 0;
  while (output.find("job " + std::to_string(jobs + 1) + " ended") != std::string::npos) ++jobs;
  return jobs;
}

void EndToEnd::StartRovant(const Environment& environment, const fs::path& program) {
  std::string error;
  const fs::path& exe = program.empty() ? kRovant : program;
  rovant_ = Process::Start({exe.wstring(), {}, work_.wstring(), environment, {}}, job_, error);
  ASSERT_TRUE(rovant_) << error;
}

void EndToEnd::StartWithPrinter(const Bytes& memory,
                                const std::vector<std::wstring>& monitorOptions) {
  StartMonitor(monitorOptions, memory);
  StartRovant();
  ChoosePrinter("HX320 on LPT1");
  ExpectOperation();
}

void EndToEnd::ExpectRovantEnded() {
  EXPECT_EQ(Rovant().WaitExit(kWaitMs), std::optional<DWORD>(0)) << "rovant.exe did not end well";
}

HWND EndToEnd::WaitDialogWith(int id) {
  return WaitWindow({.processId = Rovant().id(), .className = L"#32770", .childId = id}, kWaitMs);
}

HWND EndToEnd::WaitSelectionDialog() {
  HWND found = WaitDialogWith(IDC_PRINTER_LIST);
  EXPECT_NE(found, nullptr) << "no printer selection dialog\n" << Screen();
  return found;
}

void EndToEnd::ChoosePrinter(const std::string& printer) {
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  // The list is filled after the dialog appears: wait for the row.
  int row = -1;
  WaitUntil([&] { return (row = FindListViewRow(list, Widen(printer))) >= 0; }, kWaitMs);
  ASSERT_GE(row, 0) << "\"" << printer << "\" is not listed";
  ASSERT_TRUE(SelectListViewRow(list, row));
  ASSERT_TRUE(PressCommand(dialog, IDC_SELECTION_OK));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the selection dialog stayed";
}

void EndToEnd::TypeKeys(HWND window, const std::vector<std::string>& chords) {
  ASSERT_TRUE(BringToForeground(window)) << "the window cannot be brought to the foreground";
  ASSERT_TRUE(TypeChords(chords)) << "keys not typed";
}

void EndToEnd::AnswerBox(std::string_view text, const std::vector<int>& buttons, int press,
                         DWORD timeoutMs, DWORD processId) {
  HWND box = WaitWindow(MessageBoxQuery(processId != 0 ? processId : Rovant().id()), timeoutMs);
  ASSERT_NE(box, nullptr) << "no message box within " << timeoutMs << " ms; expected \"" << text
                          << "\"\n"
                          << Screen();
  const MessageBoxContent shown = ReadMessageBox(box);
  EXPECT_EQ(Narrow(shown.caption), "ROVANT");
  EXPECT_EQ(Narrow(shown.text), text);
  EXPECT_EQ(shown.buttons, buttons);
  HWND control = ::GetDlgItem(box, press);
  ASSERT_TRUE(control != nullptr && IsEnabled(control) && IsVisible(control))
      << "the box has no enabled " << ButtonName(press) << " button";
  // The command the button sends, posted: quicker under Wine than BM_CLICK's mouse messages.
  ASSERT_TRUE(PressCommand(box, press));
  ASSERT_TRUE(WaitGone(box, kWaitMs)) << "the box stayed after " << ButtonName(press);
}

void EndToEnd::ExpectQuietFor(DWORD ms) {
  HWND shown = WaitWindow({.processId = Rovant().id(), .className = L"#32770"}, ms);
  EXPECT_EQ(shown, nullptr) << "a further window: \"" << (shown ? Narrow(TextOf(shown)) : "")
                            << "\"\n"
                            << Screen();
}

HWND EndToEnd::MainWindow(DWORD settleMs) {
  HWND main =
      WaitSoleWindow({.processId = Rovant().id(), .className = L"rovant"}, settleMs, kWaitMs);
  EXPECT_NE(main, nullptr) << "the main window was not the only one shown\n" << Screen();
  return main;
}

HWND EndToEnd::MainChild(int id) {
  HWND main = MainWindow(0);
  return main != nullptr ? FindChild(main, id) : nullptr;
}

HWND EndToEnd::ShownCombo(int id) {
  // The page of combo `id`: the last whose first combo is not above it.
  const auto page =
      static_cast<Page>(std::ranges::upper_bound(kFirstCombo, id) - kFirstCombo.begin() - 1);
  if (page >= 0 && CurrentPage() != page) SelectPage(page);
  HWND combo = MainChild(id);
  if (combo != nullptr && IsVisible(combo)) return combo;
  ADD_FAILURE() << "no visible combo box " << id;
  return nullptr;
}

std::string EndToEnd::ReadCombo(int id) {
  HWND combo = ShownCombo(id);
  return combo != nullptr ? Narrow(ComboText(combo).value_or(L"")) : "";
}

void EndToEnd::SelectCombo(int id, const std::string& label) {
  HWND combo = ShownCombo(id);
  ASSERT_NE(combo, nullptr);
  ASSERT_TRUE(SelectComboItem(combo, Widen(label))) << "combo " << id << " has no " << label;
}

void EndToEnd::ClickCommand(int id) {
  ASSERT_TRUE(ClickButton(MainChild(id))) << "no enabled command button " << id;
}

void EndToEnd::MenuCommand(int id) {
  HWND main = MainWindow(0);
  ASSERT_NE(main, nullptr);
  // A menu command arrives as WM_COMMAND with notification code 0, which BN_CLICKED is.
  ASSERT_TRUE(PressCommand(main, id));
}

void EndToEnd::SelectPage(Page page) {
  HWND tabs = MainChild(IDC_TABS);
  ASSERT_NE(tabs, nullptr) << "no tab control";
  // Moving the tab control's focus item selects that tab and tells the panel, as a click does.
  ASSERT_NE(SendBounded(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0, -1), -1);
  const bool shown = WaitUntil(
      [&] {
        HWND combo =
            FindChild(::GetAncestor(tabs, GA_ROOT), kFirstCombo[static_cast<std::size_t>(page)]);
        return SelectedTab(tabs) == page && combo != nullptr && IsVisible(combo);
      },
      kWaitMs);
  ASSERT_TRUE(shown) << "page " << page << " was not shown\n" << Screen();
}

int EndToEnd::CurrentPage() { return SelectedTab(MainChild(IDC_TABS)); }

void EndToEnd::AnswerFileDialog(const std::string& title, const fs::path& file) {
  HWND dialog = WaitWindow(
      {.processId = Rovant().id(), .className = L"#32770", .caption = Widen(title)}, kWaitMs);
  ASSERT_NE(dialog, nullptr) << "no file dialog \"" << title << "\"\n" << Screen();
  if (!file.empty()) {
    HWND name = nullptr;
    // The dialog fills its controls after it appears: wait for the name field.
    WaitUntil(
        [&] {
          for (int id : kFileNameFields) {
            name = ::GetDlgItem(dialog, id);
            if (name != nullptr && IsVisible(name)) return true;
          }
          return false;
        },
        kWaitMs);
    ASSERT_NE(name, nullptr) << "the file dialog has no name field\n" << Screen();
    // The program empties the name before every dialog.
    EXPECT_EQ(Narrow(TextOf(name)), "") << title << " dialog";
    const std::wstring typed = file.wstring();
    ASSERT_NE(SendBounded(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()), 0), 0);
  }
  ASSERT_TRUE(PressCommand(dialog, file.empty() ? IDCANCEL : IDOK));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the file dialog stayed\n" << Screen();
}

std::optional<Bytes> EndToEnd::WorkingCopy() const {
  if (!fs::exists(SettingsFile())) return std::nullopt;
  return ReadBytes(SettingsFile());
}

void EndToEnd::PutWorkingCopy(const Bytes& bytes) {
  std::error_code ignored;
  fs::create_directories(SettingsFile().parent_path(), ignored);
  WriteBytes(SettingsFile(), bytes);
}

void EndToEnd::ExpectStatusWindow(std::string_view text, DWORD timeoutMs) {
  HWND status = WaitDialogWith(IDC_STATUS_TEXT);
  ASSERT_NE(status, nullptr) << "no status window within " << kWaitMs << " ms";
  EXPECT_EQ(Narrow(TextOf(::GetDlgItem(status, IDC_STATUS_TEXT))), text);
  ASSERT_TRUE(WaitGone(status, timeoutMs))
      << "\"" << text << "\" stayed for " << timeoutMs << " ms";
}

}  // namespace rovant::e2e
