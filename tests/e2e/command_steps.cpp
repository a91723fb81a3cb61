#include "tests/e2e/command_steps.hpp"

#include <commctrl.h>

#include <array>
#include <map>

#include "resources/resource_ids.h"

namespace rovant::e2e {
namespace {

using namespace uidriver;

// The first combo box of each page (resources/rovant.rc): shown once the page is.
constexpr std::array<int, 5> kFirstCombo{1100, 1147, 1193, 1221, 1258};

// The file dialog's name field: the Explorer-style dialog's combo box (cmb13) or the older
// dialog's edit control (edt1).
constexpr std::array<int, 2> kFileNameFields{0x047c, 0x0480};

int CurrentTab(HWND tabs) {
  DWORD_PTR result = 0;
  if (::SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) == 0)
    return -1;
  return static_cast<int>(static_cast<LRESULT>(result));
}

}  // namespace

void CommandScenario::StartWithPrinter(const Bytes& memory,
                                       const std::vector<std::wstring>& monitorOptions) {
  std::vector<std::wstring> options{L"--max-jobs", L"1"};
  options.insert(options.end(), monitorOptions.begin(), monitorOptions.end());
  StartMonitor(options, memory);
  StartRovant();
  ChoosePrinter("HX320 on LPT1");
  ExpectReadFromPrinter();
}

void CommandScenario::MenuCommand(int id) {
  HWND main = WaitMainWindow();
  ASSERT_NE(main, nullptr);
  // A menu command arrives as WM_COMMAND with notification code 0, which BN_CLICKED is.
  ASSERT_TRUE(PressCommand(main, id));
  Trace("menu command " + std::to_string(id));
}

void CommandScenario::SelectPage(Page page) {
  HWND main = WaitMainWindow();
  ASSERT_NE(main, nullptr);
  HWND tabs = FindChild(main, IDC_TABS);
  ASSERT_NE(tabs, nullptr) << "no tab control";
  const int from = CurrentTab(tabs);
  ASSERT_GE(from, 0);
  const KeyChord step{static_cast<WORD>(page > from ? VK_RIGHT : VK_LEFT)};
  const std::vector<KeyChord> steps(
      static_cast<std::size_t>(page > from ? page - from : from - page), step);
  if (!steps.empty()) {
    ASSERT_TRUE(PostKeys(tabs, steps));
  }
  const bool shown = WaitUntil(
      [&] {
        HWND combo = FindChild(main, kFirstCombo[static_cast<std::size_t>(page)]);
        return CurrentTab(tabs) == page && combo != nullptr && IsVisible(combo);
      },
      kWaitMs);
  ASSERT_TRUE(shown) << "page " << page << " was not shown\n" << Screen();
  Trace("page " + std::to_string(page));
}

std::string CommandScenario::PageCombo(Page page, int id) {
  SelectPage(page);
  return ReadCombo(id);
}

HWND CommandScenario::WaitFileDialog(const std::string& title) {
  WindowQuery query;
  query.processId = Rovant().id();
  query.className = L"#32770";
  query.caption = Widen(title);
  HWND dialog = WaitWindow(query, kWaitMs);
  EXPECT_NE(dialog, nullptr) << "no file dialog \"" << title << "\" within " << kWaitMs << " ms\n"
                             << Screen();
  return dialog;
}

void CommandScenario::AnswerFileDialog(const std::string& title,
                                       const std::filesystem::path& file) {
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

void CommandScenario::CancelFileDialog(const std::string& title) {
  HWND dialog = WaitFileDialog(title);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PressCommand(dialog, IDCANCEL));
  ASSERT_TRUE(WaitGone(dialog, kWaitMs)) << "the file dialog stayed\n" << Screen();
}

std::string CommandScenario::MonitorOutput() const {
  const Bytes out = ReadBytes(WorkFile("monitor.out"));
  return {out.begin(), out.end()};
}

void CommandScenario::StartNextMonitor(int jobs, const std::vector<std::wstring>& options,
                                       const std::optional<Bytes>& memory) {
  const std::string ended = "job " + std::to_string(jobs) + " ended";
  ASSERT_TRUE(WaitUntil([&] { return MonitorOutput().find(ended) != std::string::npos; }, kWaitMs))
      << "the monitor did not tell \"" << ended << "\": " << MonitorOutput();
  // The output file can be removed once the run that wrote it has ended; the next run then
  // starts a new one.
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::error_code error;
        std::filesystem::remove(WorkFile("monitor.out"), error);
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

int CommandScenario::JobsEnded() const {
  const std::string output = MonitorOutput();
  int jobs = 0;
  while (output.find("job " + std::to_string(jobs + 1) + " ended") != std::string::npos) ++jobs;
  return jobs;
}

int CommandScenario::JobsSinceNextMonitor() const { return JobsEnded() - jobsBefore_; }

void CommandScenario::ExpectQuietFor(DWORD ms) {
  const DWORD process = Rovant().id();
  HWND shown = nullptr;
  WaitUntil(
      [&] {
        WindowQuery query;
        query.processId = process;
        query.className = L"#32770";
        const std::vector<HWND> dialogs = FindTopWindows(query);
        shown = dialogs.empty() ? nullptr : dialogs.front();
        return shown != nullptr;
      },
      ms);
  EXPECT_EQ(shown, nullptr) << "a further window: \"" << (shown ? Narrow(TextOf(shown)) : "")
                            << "\"\n"
                            << Screen();
}

Bytes CommandScenario::Memory(const std::vector<std::wstring>& settings) {
  // rovantctl takes about half a second under Wine; the same memory is asked for often.
  static std::map<std::vector<std::wstring>, Bytes> known;
  const auto found = known.find(settings);
  if (found != known.end()) return found->second;
  Bytes memory = MemoryWith(settings);
  if (memory.size() == 87) known.emplace(settings, memory);
  return memory;
}

}  // namespace rovant::e2e
