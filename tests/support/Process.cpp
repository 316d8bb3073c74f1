#include "Process.h"

namespace driver {

Process::Process(const std::string& commandLine, const std::string& folder, bool inheritHandles) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

Process::~Process() {
  if (!handle_) return;
  // A program that a test leaves behind would hold the wizard's single-instance lock.
  if (WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(handle_, 1);
    WaitForSingleObject(handle_, 5000);
  }
  CloseHandle(handle_);
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!handle_ || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(handle_, exitCode);
  return true;
}

void Process::Kill() const {
  if (handle_) TerminateProcess(handle_, 1);
}

DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs, bool inheritHandles) {
  const Process process(commandLine, "", inheritHandles);
  if (!process.Started()) return DWORD(-1);
  DWORD code = 1;
  process.WaitForExit(timeoutMs, &code);
  return code;
}

}  // namespace driver
