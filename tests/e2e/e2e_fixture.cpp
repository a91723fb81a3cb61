#include "tests/e2e/e2e_fixture.hpp"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
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

// rovant.exe's dialog (#32770) that holds control `id`, or null.
HWND DialogWith(DWORD processId, int id) {
  for (HWND dialog : FindTopWindows({.processId = processId, .className = L"#32770"}))
    if (::GetDlgItem(dialog, id) != nullptr) return dialog;
  return nullptr;
}

// The first combo box of each page (resources/rovant.rc): shown once the page is.
constexpr std::array<int, 5> kFirstCombo{1100, 1147, 1193, 1221, 1258};

// The file dialog's name field: the Explorer-style dialog's combo box (cmb13) or the older
// dialog's edit control (edt1).
constexpr std::array<int, 2> kFileNameFields{0x047c, 0x0480};

// How long a new message box may take to paint the icon it is read by.
constexpr DWORD kPaintMs = 2000;

int SelectedTab(HWND tabs) { return static_cast<int>(SendBounded(tabs, TCM_GETCURSEL, 0, 0, -1)); }

fs::path SettingsFile() {
  std::array<wchar_t, MAX_PATH> appData{};
  if (::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData.data()) < 0) return {};
  appData.back() = L'\0';
  return fs::path(appData.data()) / "Vek" / "ROVANT" / "rovant.ini";
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
  icons_.AddFromModule(kRovant.wstring());
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

void EndToEnd::StartNextMonitor(int jobs, const std::vector<std::wstring>& options,
                                const std::optional<Bytes>& memory) {
  const std::string ended = "job " + std::to_string(jobs) + " ended";
  ASSERT_TRUE(WaitUntil([&] { return MonitorOutput().find(ended) != std::string::npos; }, kWaitMs))
      << "the monitor did not tell \"" << ended << "\": " << MonitorOutput();
  // The output file can be removed once the run that wrote it has ended; the next run then
  // starts a new one.
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::error_code error;
        fs::remove(work_ / "monitor.out", error);
        return !error;
      },
      kWaitMs))
      << "the first monitor run did not end";
  StartMonitor(options, memory);
  // The mailbox still holds the end of the last job, which the new run tells once as its own
  // (within a few milliseconds); jobs are counted from there.
  WaitUntil([&] { return MonitorOutput().find("job 1 ended") != std::string::npos; }, 1000);
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
  ExpectReadFromPrinter();
}

std::optional<DWORD> EndToEnd::RovantExitCode(DWORD timeoutMs) {
  std::optional<DWORD> code = Rovant().WaitExit(timeoutMs);
  if (!code) ADD_FAILURE() << "rovant.exe did not end within " << timeoutMs << " ms";
  return code;
}

HWND EndToEnd::WaitDialogWith(int id) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = DialogWith(Rovant().id(), id)) != nullptr; }, kWaitMs);
  return found;
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

void EndToEnd::CancelSelection() {
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PressCommand(dialog, IDC_SELECTION_CANCEL));
}

void EndToEnd::TypeKeys(HWND window, const std::vector<std::string>& chords) {
  std::vector<KeyChord> parsed;
  for (const std::string& chord : chords) {
    const std::optional<KeyChord> key = ParseChord(chord);
    ASSERT_TRUE(key.has_value()) << "no such key: " << chord;
    parsed.push_back(*key);
  }
  ASSERT_TRUE(BringToForeground(window)) << "the window cannot be brought to the foreground";
  ASSERT_TRUE(TypeChords(parsed));
}

void EndToEnd::ExpectBox(const std::string& text, IconKind icon, const std::vector<int>& buttons,
                         DWORD timeoutMs) {
  HWND box = WaitMessageBox(Rovant().id(), timeoutMs);
  ASSERT_NE(box, nullptr) << "no message box within " << timeoutMs << " ms; expected \"" << text
                          << "\"\n"
                          << Screen();
  // A box not yet painted shows no icon the driver knows: read it again until it does.
  WaitUntil(
      [&] {
        lastBox_ = ReadMessageBox(box, icons_);
        return lastBox_.icon == icon;
      },
      kPaintMs);
  EXPECT_EQ(Narrow(lastBox_.caption), "ROVANT");
  EXPECT_EQ(Narrow(lastBox_.text), text);
  EXPECT_EQ(NameOf(lastBox_.icon), NameOf(icon))
      << DescribeIconMatch(::GetDlgItem(box, kMessageBoxIconId), icons_);
  EXPECT_EQ(lastBox_.buttons, buttons);
}

void EndToEnd::Press(int button) {
  ASSERT_NE(lastBox_.window, nullptr) << "no box to press " << ButtonName(button) << " in";
  HWND control = ::GetDlgItem(lastBox_.window, button);
  ASSERT_TRUE(control != nullptr && IsEnabled(control) && IsVisible(control))
      << "the box has no enabled " << ButtonName(button) << " button";
  // The command the button sends, posted: quicker under Wine than BM_CLICK's mouse messages.
  ASSERT_TRUE(PressCommand(lastBox_.window, button));
  ASSERT_TRUE(WaitGone(lastBox_.window, kWaitMs)) << "the box stayed after " << ButtonName(button);
  lastBox_ = {};
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

HWND EndToEnd::ShownCombo(int id) {
  HWND main = MainWindow(0);
  HWND combo = main != nullptr ? FindShownChild(main, id) : nullptr;
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
  HWND main = MainWindow(0);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ClickButton(FindChild(main, id))) << "no enabled command button " << id;
}

void EndToEnd::MenuCommand(int id) {
  HWND main = MainWindow(0);
  ASSERT_NE(main, nullptr);
  // A menu command arrives as WM_COMMAND with notification code 0, which BN_CLICKED is.
  ASSERT_TRUE(PressCommand(main, id));
}

void EndToEnd::SelectPage(Page page) {
  HWND main = MainWindow(0);
  ASSERT_NE(main, nullptr);
  HWND tabs = FindChild(main, IDC_TABS);
  ASSERT_NE(tabs, nullptr) << "no tab control";
  // Moving the tab control's focus item selects that tab and tells the panel, as a click does.
  ASSERT_NE(SendBounded(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0, -1), -1);
  const bool shown = WaitUntil(
      [&] {
        HWND combo = FindChild(main, kFirstCombo[static_cast<std::size_t>(page)]);
        return SelectedTab(tabs) == page && combo != nullptr && IsVisible(combo);
      },
      kWaitMs);
  ASSERT_TRUE(shown) << "page " << page << " was not shown\n" << Screen();
}

int EndToEnd::CurrentPage() {
  HWND main = MainWindow(0);
  return main != nullptr ? SelectedTab(FindChild(main, IDC_TABS)) : -1;
}

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
    ASSERT_TRUE(SetText(name, file.wstring()));
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

void EndToEnd::ExpectStatusWindow(const std::string& text, DWORD timeoutMs) {
  HWND status = WaitDialogWith(IDC_STATUS_TEXT);
  ASSERT_NE(status, nullptr) << "no status window within " << kWaitMs << " ms";
  EXPECT_EQ(Narrow(TextOf(::GetDlgItem(status, IDC_STATUS_TEXT))), text);
  ASSERT_TRUE(WaitGone(status, timeoutMs))
      << "\"" << text << "\" stayed for " << timeoutMs << " ms";
}

void EndToEnd::ExpectReadFromPrinter() {
  ExpectStatusWindow(std::string(msg::kStatusReading));
  ASSERT_NE(WaitMainWindow(), nullptr);
}

}  // namespace rovant::e2e
