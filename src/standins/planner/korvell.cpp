// Stand-in for the planner: records that it was started, from where and
// with what, in "korvell-started.txt" beside itself, and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH] = "", folder[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::string record = std::string("program=") + module + "\r\ncurrent directory=" + folder +
                       "\r\ncommand line=" + GetCommandLineA() + "\r\n";
  std::string log = module;
  log = log.substr(0, log.find_last_of('\\') + 1) + "korvell-started.txt";
  HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
