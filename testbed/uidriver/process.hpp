// Programs started by a test: each in a job object that kills it (and what it starts) when the
// job is closed, so that nothing outlives a test; waits for exit with a bound.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/unique_handle.hpp"

namespace rovant::uidriver {

struct StartOptions {
  std::wstring program;                 // a Windows path (Z:\... for host files under Wine)
  std::vector<std::wstring> arguments;  // quoted as needed
  std::wstring workingFolder;           // empty: the driver's own
  // Added to (or replacing in) the driver's environment.
  std::vector<std::pair<std::wstring, std::wstring>> environment;
  std::wstring outputFile;  // empty: standard output and error are inherited
};

// A job object with JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE: closing it ends every process in it.
class Job {
 public:
  Job();
  [[nodiscard]] bool valid() const { return static_cast<bool>(job_); }
  [[nodiscard]] HANDLE get() const { return job_.get(); }
  // Ends every process in the job now (the job stays usable).
  void KillAll();

 private:
  win32::UniqueKernelHandle job_;
};

class Process {
 public:
  // Starts `options.program` suspended, puts it into `job`, then lets it run.
  // Nothing (and `error` set) if any step fails; a started process is then ended.
  static std::optional<Process> Start(const StartOptions& options, Job& job, std::string& error);

  [[nodiscard]] DWORD id() const { return id_; }
  [[nodiscard]] HANDLE handle() const { return process_.get(); }
  [[nodiscard]] bool Running() const;
  // The exit code once the process has ended within `timeoutMs`; nothing if it still runs.
  [[nodiscard]] std::optional<DWORD> WaitExit(DWORD timeoutMs) const;

 private:
  Process(win32::UniqueKernelHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  win32::UniqueKernelHandle process_;
  DWORD id_ = 0;
};

// A command line from a program and its arguments, each quoted as CommandLineToArgvW reads it.
std::wstring ComposeCommandLine(const std::wstring& program,
                                const std::vector<std::wstring>& arguments);

// A host path (/tmp/x) as Wine's drive Z: names it (Z:\tmp\x); other paths are kept.
std::wstring WindowsPath(const std::string& path);

}  // namespace rovant::uidriver
