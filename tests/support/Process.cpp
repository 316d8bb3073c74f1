#include "Process.h"

namespace driver {

Process::Process(const std::string& commandLine, const std::string& folder, bool inheritHandles) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  Started(CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                         folder.empty() ? nullptr : folder.c_str(), &startup, &info),
          info);
}

Process::Process(const std::wstring& commandLine, const std::string& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  std::wstring wideFolder(folder.size(), L'\0');
  wideFolder.resize(size_t(
      MultiByteToWideChar(CP_ACP, 0, folder.data(), int(folder.size()), wideFolder.data(), int(wideFolder.size()))));
  Started(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         folder.empty() ? nullptr : wideFolder.c_str(), &startup, &info),
          info);
}

void Process::Started(BOOL ok, const PROCESS_INFORMATION& info) {
  if (!ok) return;
  CloseHandle(info.hThread);
  handle_ = info.hProcess;
  id_ = info.dwProcessId;
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
