// Programs started by a test, each in a job object that kills it when the job is closed.
#include "testbed/uidriver/uidriver.hpp"

namespace rovant::uidriver {
namespace {

std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped; others stay as they are.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::string Failure(const char* step, DWORD code = ::GetLastError()) {
  return std::string(step) + " failed (error " + std::to_string(code) + ")";
}

}  // namespace

Job::Job() : job_(::CreateJobObjectW(nullptr, nullptr)) {
  if (!job_) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (::SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits) == FALSE) {
    job_.reset();
  }
}

void Job::KillAll() {
  if (job_) ::TerminateJobObject(job_.get(), 1);
}

std::wstring WindowsPath(const std::string& path) {
  std::string windows = path;
  if (!windows.empty() && windows.front() == '/') windows = "Z:" + windows;
  for (char& c : windows)
    if (c == '/') c = '\\';
  return Widen(windows);
}

std::optional<Process> Process::Start(const StartOptions& options, Job& job, std::string& error) {
  if (!job.valid()) {
    error = "no job object";
    return std::nullopt;
  }
  std::wstring commandLine = Quote(options.program);
  for (const std::wstring& argument : options.arguments) commandLine += L" " + Quote(argument);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  win32::UniqueKernelHandle output;
  BOOL inherit = FALSE;
  if (!options.outputFile.empty()) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    output.reset(::CreateFileW(options.outputFile.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (output.get() == INVALID_HANDLE_VALUE) {
      output.release();
      error = Failure("opening the output file");
      return std::nullopt;
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    inherit = TRUE;
  }
  PROCESS_INFORMATION info{};
  const wchar_t* folder = options.workingFolder.empty() ? nullptr : options.workingFolder.c_str();
  // The additions are put into the driver's own environment while the process inherits it.
  for (const auto& [name, value] : options.environment)
    ::SetEnvironmentVariableW(name.c_str(), value.c_str());
  const BOOL created =
      ::CreateProcessW(options.program.c_str(), commandLine.data(), nullptr, nullptr, inherit,
                       CREATE_SUSPENDED, nullptr, folder, &startup, &info);
  const DWORD createError = ::GetLastError();
  for (const auto& [name, value] : options.environment)
    ::SetEnvironmentVariableW(name.c_str(), nullptr);
  if (created == FALSE) {
    error = Failure("CreateProcessW", createError);
    return std::nullopt;
  }
  win32::UniqueKernelHandle thread(info.hThread);
  win32::UniqueKernelHandle process(info.hProcess);
  if (::AssignProcessToJobObject(job.get(), process.get()) == FALSE) {
    error = Failure("AssignProcessToJobObject");
    ::TerminateProcess(process.get(), 1);
    return std::nullopt;
  }
  ::ResumeThread(thread.get());
  return Process(std::move(process), info.dwProcessId);
}

bool Process::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) const {
  if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (::GetExitCodeProcess(process_.get(), &code) == FALSE) return std::nullopt;
  return code;
}

}  // namespace rovant::uidriver
