#include "tests/e2e/e2e_fixture.hpp"

#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

#include "resources/resource_ids.h"
#include "testbed/uidriver/remote_block.hpp"
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
const fs::path kScreenshots = Host(ROVANT_E2E_SCREENSHOT_DIR);
constexpr const char* kCaptureHostPath = ROVANT_E2E_CAPTURE_FILE;

constexpr DWORD kProgramExitMs = 60000;

// Runs `program` to its end (bounded) in `folder`; its exit code, or -1.
// A process that Wine could not initialise (its DLLs' start-up failed, seldom, when the machine
// is busy) ran none of the program: it is started again, at most twice.
constexpr DWORD kStatusDllInitFailed = 0xC0000142;
constexpr int kStartAttempts = 3;

int RunToEnd(const fs::path& program, const std::vector<std::wstring>& arguments,
             const fs::path& folder, const fs::path& output) {
  for (int attempt = 1;; ++attempt) {
    Job job;
    StartOptions options{program.wstring(), arguments, folder.wstring(), {}, output.wstring()};
    std::string error;
    std::optional<Process> process = Process::Start(options, job, error);
    if (!process) {
      ADD_FAILURE() << program << ": " << error;
      return -1;
    }
    const std::optional<DWORD> code = process->WaitExit(kProgramExitMs);
    if (code == kStatusDllInitFailed && attempt < kStartAttempts) {
      std::cerr << program << " was not initialised by Wine; started again\n";
      ::Sleep(500);
      continue;
    }
    return code ? static_cast<int>(*code) : -1;
  }
}

std::string Text(const std::wstring& wide) { return Narrow(wide); }

// The program's status window (the one that says what it is doing with the printer).
HWND FindStatusWindow(DWORD processId) {
  WindowQuery query;
  query.processId = processId;
  query.className = L"#32770";
  for (HWND dialog : FindTopWindows(query))
    if (::GetDlgItem(dialog, IDC_STATUS_TEXT) != nullptr) return dialog;
  return nullptr;
}

const bool kTrace = std::getenv("ROVANT_E2E_TRACE") != nullptr;

// The first combo box of each page (resources/rovant.rc): shown once the page is.
constexpr std::array<int, 5> kFirstCombo{1100, 1147, 1193, 1221, 1258};

// The file dialog's name field: the Explorer-style dialog's combo box (cmb13) or the older
// dialog's edit control (edt1).
constexpr std::array<int, 2> kFileNameFields{0x047c, 0x0480};

// How long a new message box may take to paint the icon it is read by.
constexpr DWORD kPaintMs = 2000;
// How long the main window stays the only one shown before it counts as ready after an operation.
constexpr DWORD kSettledMs = 500;

int SelectedTab(HWND tabs) { return static_cast<int>(SendBounded(tabs, TCM_GETCURSEL, 0, 0, -1)); }

}  // namespace

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void EndToEnd::SetUpTestSuite() {
  static bool installed = false;
  if (installed) return;
  fs::create_directories(kWorkRoot);
  fs::create_directories(kScreenshots);
  const int code = RunToEnd(kSetup, {L"--install", L"--capture-lpt1", Widen(kCaptureHostPath)},
                            kWorkRoot, kWorkRoot / "testbed-setup.out");
  ASSERT_EQ(code, 0) << "rovant-testbed-setup --install failed: "
                     << std::string(ReadBytes(kWorkRoot / "testbed-setup.out").begin(),
                                    ReadBytes(kWorkRoot / "testbed-setup.out").end());
  installed = true;
}

std::string EndToEnd::TestName() const {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

fs::path EndToEnd::SettingsFolder() {
  std::array<wchar_t, MAX_PATH> appData{};
  if (::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData.data()) < 0) return {};
  appData.back() = L'\0';
  return fs::path(appData.data()) / "Vek" / "ROVANT";
}

void EndToEnd::SetUp() {
  ASSERT_TRUE(job_.valid());
  work_ = kWorkRoot / TestName();
  std::error_code ignored;
  fs::remove_all(work_, ignored);
  ASSERT_TRUE(fs::create_directories(work_)) << work_;
  ASSERT_FALSE(SettingsFolder().empty());
  // No working copy from an earlier test.
  fs::remove(SettingsFolder() / "rovant.ini", ignored);
  // This test's screenshots are of this run only.
  for (const fs::directory_entry& shot : fs::directory_iterator(kScreenshots, ignored)) {
    if (shot.path().filename().string().starts_with(TestName())) fs::remove(shot.path(), ignored);
  }
  icons_.AddFromModule(kRovant.wstring());
  started_ = ::GetTickCount64();
}

void EndToEnd::Trace(const std::string& step) const {
  if (kTrace) std::cerr << "  [" << (::GetTickCount64() - started_) << " ms] " << step << '\n';
}

void EndToEnd::TearDown() {
  if (HasFailure()) {
    std::cerr << "Windows on screen:\n" << Screen();
    const fs::path file = kScreenshots / (TestName() + ".png");
    if (!uidriver::SaveScreenshot(nullptr, file.wstring()))
      std::cerr << "no screenshot could be saved to " << file << '\n';
  }
  // Everything this test started ends with the job.
  job_.KillAll();
  if (rovant_) (void)rovant_->WaitExit(kWaitMs);
  if (monitor_) (void)monitor_->WaitExit(kWaitMs);
  // The working copy is kept beside the test's other files.
  std::error_code ignored;
  fs::copy_file(SettingsFolder() / "rovant.ini", work_ / "rovant.ini",
                fs::copy_options::overwrite_existing, ignored);
  Trace("torn down");
}

std::string EndToEnd::Screen() const { return DescribeWindows(0); }

int EndToEnd::RunCtl(const std::vector<std::wstring>& arguments) {
  return RunToEnd(kCtl, arguments, work_, work_ / "rovantctl.out");
}

Bytes EndToEnd::MemoryWith(const std::vector<std::wstring>& settings) {
  // rovantctl takes about half a second under Wine; the same memory is asked for often.
  static std::map<std::vector<std::wstring>, Bytes> known;
  if (const auto found = known.find(settings); found != known.end()) return found->second;
  EXPECT_EQ(RunCtl({L"defaults", L"-o", L"memory.fom"}), 0);
  if (!settings.empty()) {
    std::vector<std::wstring> arguments{L"set", L"memory.fom"};
    arguments.insert(arguments.end(), settings.begin(), settings.end());
    EXPECT_EQ(RunCtl(arguments), 0) << std::string(ReadBytes(work_ / "rovantctl.out").begin(),
                                                   ReadBytes(work_ / "rovantctl.out").end());
  }
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
        const Bytes out = ReadBytes(output);
        said.assign(out.begin(), out.end());
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
  // It has opened the mailbox when it says so.
  StartServer(monitor_, kMonitor, arguments, "monitor", "monitoring ");
}

Bytes EndToEnd::MonitorMemory() const { return ReadBytes(work_ / "monitor.fom"); }

std::string EndToEnd::MonitorOutput() const {
  const Bytes out = ReadBytes(work_ / "monitor.out");
  return {out.begin(), out.end()};
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
  Trace("next monitor run");
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
  Trace("started " + exe.string());
}

void EndToEnd::StartWithPrinter(const Bytes& memory,
                                const std::vector<std::wstring>& monitorOptions) {
  StartMonitor(monitorOptions, memory);
  StartRovant();
  ChoosePrinter("HX320 on LPT1");
  ExpectReadFromPrinter();
}

std::optional<DWORD> EndToEnd::RovantExitCode(DWORD timeoutMs) {
  if (!rovant_) {
    ADD_FAILURE() << "rovant.exe was not started";
    return std::nullopt;
  }
  std::optional<DWORD> code = rovant_->WaitExit(timeoutMs);
  if (!code) ADD_FAILURE() << "rovant.exe did not end within " << timeoutMs << " ms";
  Trace("rovant.exe ended");
  return code;
}

HWND EndToEnd::WaitSelectionDialog(DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        WindowQuery query;
        query.processId = rovant_ ? rovant_->id() : 0;
        query.className = L"#32770";
        for (HWND dialog : FindTopWindows(query)) {
          if (::GetDlgItem(dialog, IDC_PRINTER_LIST) != nullptr) {
            found = dialog;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  EXPECT_NE(found, nullptr) << "no printer selection dialog within " << timeoutMs << " ms";
  return found;
}

std::vector<std::wstring> EndToEnd::ListedPrinters() {
  HWND dialog = WaitSelectionDialog();
  if (dialog == nullptr) return {};
  return ListViewRows(::GetDlgItem(dialog, IDC_PRINTER_LIST));
}

void EndToEnd::ChoosePrinter(const std::string& printer) {
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
  // The list is filled after the dialog appears: wait for the row.
  int row = -1;
  WaitUntil(
      [&] {
        row = FindListViewRow(list, Widen(printer));
        return row >= 0;
      },
      kWaitMs);
  ASSERT_GE(row, 0) << "\"" << printer << "\" is not listed";
  ASSERT_TRUE(SelectListViewRow(list, row));
  ASSERT_TRUE(PressCommand(dialog, IDC_SELECTION_OK));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the selection dialog stayed";
  Trace("chose " + printer);
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

void EndToEnd::CancelSelection() {
  HWND dialog = WaitSelectionDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PressCommand(dialog, IDC_SELECTION_CANCEL));
}

MessageBoxContent EndToEnd::ExpectBox(const std::string& text, IconKind icon,
                                      const std::vector<int>& buttons, DWORD timeoutMs) {
  HWND box = WaitMessageBox(rovant_ ? rovant_->id() : 0, timeoutMs);
  if (box == nullptr) {
    ADD_FAILURE() << "no message box within " << timeoutMs << " ms; expected \"" << text << "\"";
    return {};
  }
  // A box not yet painted shows no icon the driver knows: read it again until it does.
  WaitUntil(
      [&] {
        lastBox_ = ReadMessageBox(box, icons_);
        return lastBox_.icon == icon;
      },
      kPaintMs);
  // Every box a scenario meets is kept as a picture: <test>.box<N>.png.
  const fs::path picture =
      kScreenshots / (TestName() + ".box" + std::to_string(++boxesSeen_) + ".png");
  if (!uidriver::SaveScreenshot(box, picture.wstring())) ADD_FAILURE() << "no picture " << picture;
  Trace("box \"" + Text(lastBox_.text) + "\" " + std::string(NameOf(lastBox_.icon)));
  EXPECT_EQ(Text(lastBox_.caption), "ROVANT");
  EXPECT_EQ(Text(lastBox_.text), text);
  EXPECT_EQ(NameOf(lastBox_.icon), NameOf(icon))
      << DescribeIconMatch(::GetDlgItem(box, kMessageBoxIconId), icons_);
  EXPECT_EQ(lastBox_.buttons, buttons);
  return lastBox_;
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
  Trace("pressed " + ButtonName(button));
}

bool EndToEnd::NoBoxShown() { return FindMessageBoxes(rovant_ ? rovant_->id() : 0).empty(); }

HWND EndToEnd::MainWindow(DWORD settleMs, DWORD timeoutMs) {
  // The main window is there from the start, behind the selection dialog and the status window
  // of the first read: it is ready when it is the only window shown, enabled.
  WindowQuery query;
  query.processId = rovant_ ? rovant_->id() : 0;
  query.className = L"rovant";
  HWND main = WaitSoleWindow(query, settleMs, timeoutMs);
  EXPECT_NE(main, nullptr) << "the main window was not the only one shown within " << timeoutMs
                           << " ms";
  // The main window as the user first sees it ready: <test>.main.png.
  if (main != nullptr && !mainPictured_) {
    mainPictured_ = true;
    const fs::path picture = kScreenshots / (TestName() + ".main.png");
    if (!uidriver::SaveScreenshot(main, picture.wstring()))
      ADD_FAILURE() << "no picture " << picture;
  }
  return main;
}

HWND EndToEnd::WaitMainWindow(DWORD timeoutMs) { return MainWindow(kSettledMs, timeoutMs); }

std::string EndToEnd::ReadCombo(int id) {
  HWND main = MainWindow(0, kWaitMs);
  if (main == nullptr) return {};
  // The pages are all children of the panel; the visible one is the current page.
  for (HWND combo : FindChildren(main, L"ComboBox")) {
    if (::GetDlgCtrlID(combo) == id && IsVisible(combo))
      return Text(ComboText(combo).value_or(L""));
  }
  ADD_FAILURE() << "no visible combo box " << id;
  return {};
}

void EndToEnd::SelectCombo(int id, const std::string& label) {
  HWND main = MainWindow(0, kWaitMs);
  ASSERT_NE(main, nullptr);
  for (HWND combo : FindChildren(main, L"ComboBox")) {
    if (::GetDlgCtrlID(combo) == id && IsVisible(combo)) {
      ASSERT_TRUE(SelectComboItem(combo, Widen(label))) << "combo " << id << " has no " << label;
      return;
    }
  }
  FAIL() << "no visible combo box " << id;
}

void EndToEnd::ClickCommand(int id) {
  HWND main = MainWindow(0, kWaitMs);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ClickButton(FindChild(main, id))) << "no enabled command button " << id;
}

void EndToEnd::MenuCommand(int id) {
  HWND main = MainWindow(0, kWaitMs);
  ASSERT_NE(main, nullptr);
  // A menu command arrives as WM_COMMAND with notification code 0, which BN_CLICKED is.
  ASSERT_TRUE(PressCommand(main, id));
  Trace("menu command " + std::to_string(id));
}

void EndToEnd::SelectPage(Page page) {
  HWND main = MainWindow(0, kWaitMs);
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
  Trace("page " + std::to_string(page));
}

int EndToEnd::CurrentPage() {
  HWND main = MainWindow(0, kWaitMs);
  return main != nullptr ? SelectedTab(FindChild(main, IDC_TABS)) : -1;
}

std::string EndToEnd::PageCombo(Page page, int id) {
  SelectPage(page);
  return ReadCombo(id);
}

HWND EndToEnd::WaitFileDialog(const std::string& title) {
  WindowQuery query;
  query.processId = Rovant().id();
  query.className = L"#32770";
  query.caption = Widen(title);
  HWND dialog = WaitWindow(query, kWaitMs);
  EXPECT_NE(dialog, nullptr) << "no file dialog \"" << title << "\" within " << kWaitMs << " ms\n"
                             << Screen();
  return dialog;
}

void EndToEnd::AnswerFileDialog(const std::string& title, const fs::path& file) {
  HWND dialog = WaitFileDialog(title);
  ASSERT_NE(dialog, nullptr);
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
  ASSERT_NE(name, nullptr) << "the file dialog has no name field\n" << DescribeWindows(0);
  // The program empties the name before every dialog.
  EXPECT_EQ(Narrow(TextOf(name)), "") << title << " dialog";
  ASSERT_TRUE(SetText(name, file.wstring()));
  ASSERT_TRUE(PressCommand(dialog, IDOK));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the file dialog stayed\n" << Screen();
  Trace(title + " dialog: " + file.string());
}

void EndToEnd::CancelFileDialog(const std::string& title) {
  HWND dialog = WaitFileDialog(title);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PressCommand(dialog, IDCANCEL));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the file dialog stayed\n" << Screen();
}

void EndToEnd::ExpectQuietFor(DWORD ms) {
  WindowQuery query;
  query.processId = Rovant().id();
  query.className = L"#32770";
  HWND shown = WaitWindow(query, ms);
  EXPECT_EQ(shown, nullptr) << "a further window: \"" << (shown ? Narrow(TextOf(shown)) : "")
                            << "\"\n"
                            << Screen();
}

void EndToEnd::PutWorkingCopy(const Bytes& bytes) {
  std::error_code ignored;
  fs::create_directories(SettingsFolder(), ignored);
  WriteBytes(SettingsFolder() / "rovant.ini", bytes);
}

void EndToEnd::ExpectStatusWindow(const std::string& text, DWORD timeoutMs) {
  const DWORD process = rovant_ ? rovant_->id() : 0;
  HWND status = nullptr;
  WaitUntil(
      [&] {
        status = FindStatusWindow(process);
        return status != nullptr;
      },
      kWaitMs);
  ASSERT_NE(status, nullptr) << "no status window within " << kWaitMs << " ms";
  EXPECT_EQ(Text(TextOf(::GetDlgItem(status, IDC_STATUS_TEXT))), text);
  ASSERT_TRUE(WaitGone(status, timeoutMs))
      << "\"" << text << "\" stayed for " << timeoutMs << " ms";
  Trace("status window gone: " + text);
}

void EndToEnd::ExpectReadFromPrinter(DWORD timeoutMs) {
  ExpectStatusWindow(std::string(msg::kStatusReading), timeoutMs);
  ASSERT_NE(WaitMainWindow(), nullptr);
}

std::optional<Bytes> EndToEnd::WorkingCopy() const {
  const fs::path file = SettingsFolder() / "rovant.ini";
  if (!fs::exists(file)) return std::nullopt;
  return ReadBytes(file);
}

fs::path EndToEnd::CaptureFile() { return Host(kCaptureHostPath); }

Bytes EndToEnd::CaptureBytes() { return ReadBytes(CaptureFile()); }

}  // namespace rovant::e2e
