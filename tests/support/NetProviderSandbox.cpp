#include "NetProviderSandbox.h"

#include <windows.h>

#include <cstdio>
#include <fstream>

#include "Process.h"

namespace {

constexpr const char* kChildMark = "KORVELL_NETPROVIDER_CHILD";
constexpr const char* kParametersKey = "System\\CurrentControlSet\\Services\\KorvellNet\\Parameters";
constexpr const char* kNetworkFileValue = "NetworkFile";

std::string ThisFolder() {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.rfind('\\'));
}

std::string WriteTempFile(const std::string& text) {
  char folder[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "knt", 0, path);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

DWORD Setup(const std::string& arguments) {
  return driver::RunToEnd("\"" + ThisFolder() + "\\netprovider-setup.exe\" " + arguments, INFINITE, true);
}

std::string ServedFile() {
  char path[MAX_PATH * 4] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_LOCAL_MACHINE, kParametersKey, kNetworkFileValue, RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

void Serve(const std::string& path) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kParametersKey, kNetworkFileValue, REG_SZ, path.c_str(), DWORD(path.size() + 1));
}

}  // namespace

int RunWithNetProvider(const std::string& network, const std::function<int()>& tests) {
  if (GetEnvironmentVariableA(kChildMark, nullptr, 0)) return tests();
  const std::string file = WriteTempFile(network);
  const DWORD registered = Setup("register \"" + file + "\"");
  DWORD code = registered;
  if (registered == 0) {
    SetEnvironmentVariableA(kChildMark, "1");
    code = driver::RunToEnd(GetCommandLineA(), INFINITE, true);  // its output is the test program's
  } else {
    fprintf(stderr, "the stand-in network provider could not be registered (%lu)\n", registered);
  }
  Setup("unregister");
  DeleteFileA(file.c_str());
  return int(code);
}

ServedNetwork::ServedNetwork(const std::string& network) : file_(WriteTempFile(network)), previous_(ServedFile()) {
  Serve(file_);
}

ServedNetwork::~ServedNetwork() {
  Serve(previous_);
  DeleteFileA(file_.c_str());
}
