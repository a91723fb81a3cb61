// Programs started by a test, each in a job object that kills it when the job is closed.
#include <cwchar>
#include <map>

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
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

// The driver's environment with `additions` put in, as a CreateProcessW block.
std::vector<wchar_t> EnvironmentBlock(
    const std::vector<std::pair<std::wstring, std::wstring>>& additions) {
  std::map<std::wstring, std::wstring> variables;
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
      const std::wstring line = entry;
      const std::size_t equals = line.find(L'=', 1);  // "=C:=C:\" entries start with '='
      if (equals == std::wstring::npos) continue;
      variables[line.substr(0, equals)] = line.substr(equals + 1);
    }
    ::FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : additions) variables[name] = value;
  std::vector<wchar_t> result;
  for (const auto& [name, value] : variables) {
    result.insert(result.end(), name.begin(), name.end());
    result.push_back(L'=');
    result.insert(result.end(), value.begin(), value.end());
    result.push_back(L'\0');
  }
  result.push_back(L'\0');
  return result;
}

std::string Failure(const char* step) {
  return std::string(step) + " failed (error " + std::to_string(::GetLastError()) + ")";
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
  std::vector<wchar_t> environment = EnvironmentBlock(options.environment);

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
  if (::CreateProcessW(options.program.c_str(), commandLine.data(), nullptr, nullptr, inherit,
                       CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, environment.data(), folder,
                       &startup, &info) == FALSE) {
    error = Failure("CreateProcessW");
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
