// Started programs, as the tests, the autopilot and the benchmarks start
// them: the wizard, the stand-ins, regsvr32 and the test programs themselves.
#pragma once
#include <windows.h>

#include <string>

namespace driver {

// A started program; it is ended, if it still runs, when the object goes.
class Process {
 public:
  // inheritHandles: the program writes to the caller's output (a test
  // program that runs itself again); else it has none of the caller's handles.
  Process(const std::string& commandLine, const std::string& folder, bool inheritHandles = false);
  // A command line that may hold characters that the code page cannot carry,
  // as a console hands them on.
  Process(const std::wstring& commandLine, const std::string& folder);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Started() const { return handle_ != nullptr; }
  DWORD Id() const { return id_; }
  // The exit code once the program has ended within the time; none otherwise.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  void Kill() const;

 private:
  void Started(BOOL ok, const PROCESS_INFORMATION& info);

  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Runs a program to its end and answers its exit code: -1 when it could not
// be started, 1 when it did not end within the time (it is ended then).
DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs = 60000, bool inheritHandles = false);

}  // namespace driver
