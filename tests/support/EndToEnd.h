// What the end-to-end tests share: the folder of the programs, quiet runs of
// a helper program, the settings the wizard wrote and the files it left,
// shares of the network, the Explorer windows that runs leave, and the
// fixture of the roads that start the wizard.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "basic/App.h"
#include "support/RegistrySandbox.h"
#include "support/WizardDriver.h"

namespace endtoend {

inline constexpr const char* kSettings = "SOFTWARE\\Quillon\\Network Korvell";

// The folder of the test programs, the wizard and the stand-ins.
inline std::string Bin() { return std::filesystem::path(basic::App::Path()).string(); }

// Runs a program to its end; its exit code, 1 when it did not end in a minute.
inline DWORD RunQuietly(const std::string& commandLine) { return driver::RunToEnd(commandLine); }

// A started program's exit code once it has ended within the time;
// STILL_ACTIVE (259) when it has not.
inline DWORD ExitCode(const driver::Process& program, DWORD timeoutMs = 20000) {
  DWORD code = STILL_ACTIVE;
  program.WaitForExit(timeoutMs, &code);
  return code;
}

// A value of the settings key; "<missing>" when there is none.
inline std::string Setting(HKEY root, const char* name) {
  char value[512] = "";
  DWORD size = sizeof value;
  if (RegGetValueA(root, kSettings, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return "<missing>";
  return value;
}

// A file's bytes; "<missing>" when there is none.
inline std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline int Year() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

// A share of the network as Wine keeps it: \\server\share is a folder of the
// prefix, which can be made once the prefix's folder of network paths exists.
class ShareFolder {
 public:
  ShareFolder(const std::string& server, const std::string& share, bool withData) {
    char prefix[MAX_PATH] = "";
    GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    std::string uncRoot = std::string("\\\\?\\unix") + prefix + "/dosdevices/unc";
    for (char& c : uncRoot)
      if (c == '/') c = '\\';
    CreateDirectoryA(uncRoot.c_str(), nullptr);
    path_ = "\\\\" + server + "\\" + share;
    for (const std::string& folder : {"\\\\" + server, path_, path_ + "\\dats"}) {
      if (folder.ends_with("dats") && !withData) break;
      if (CreateDirectoryA(folder.c_str(), nullptr)) made_.insert(made_.begin(), folder);
    }
  }
  ~ShareFolder() {
    for (const auto& folder : made_) RemoveDirectoryA(folder.c_str());
  }
  ShareFolder(const ShareFolder&) = delete;
  ShareFolder& operator=(const ShareFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

// Ends the Explorer programs that the wizard started, whether or not their
// window has opened yet: one that opens after its test has ended would keep
// the session, and with it the test run's output, alive. The desktop's own
// Explorer stays.
inline void EndStartedExplorers() {
  DWORD desktop = 0;
  GetWindowThreadProcessId(GetDesktopWindow(), &desktop);
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") != 0 || entry.th32ProcessID == desktop) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

// Closes the Explorer windows that earlier runs left, waiting a while for
// each to go: a window that hangs or will not close is left, not waited for.
inline void CloseExplorerWindows() {
  constexpr DWORD kPatienceMs = 5000;
  std::vector<HWND> windows;
  for (const char* windowClass : driver::kFolderWindowClasses)
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, windowClass, nullptr));)
      windows.push_back(window);
  for (HWND window : windows) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &ignored);
    driver::WaitUntil([window] { return !IsWindow(window); }, kPatienceMs);
  }
}

// A road of the wizard's own process: Merrow.dll registered for the suite,
// as the planner's installation leaves it, and the settings of the product
// family emptied before each test and after it.
class WizardRoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunQuietly("regsvr32 /s \"" + Bin() + "\\Merrow.dll\""), 0u); }
  static void TearDownTestSuite() { RunQuietly("regsvr32 /u /s \"" + Bin() + "\\Merrow.dll\""); }
  static void SetMachine(const char* name, const std::string& value) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettings, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
  }

  RegistrySandbox machine{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon"};
  RegistrySandbox user{HKEY_CURRENT_USER, "SOFTWARE\\Quillon"};
};

}  // namespace endtoend
