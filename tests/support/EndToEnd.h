// What the end-to-end tests share: the folder of the programs, quiet runs of
// a helper program, the settings the wizard wrote and the files it left.
#pragma once
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "basic/App.h"
#include "support/WizardDriver.h"

namespace endtoend {

inline constexpr const char* kSettings = "SOFTWARE\\Quillon\\Network Korvell";

// The folder of the test programs, the wizard and the stand-ins.
inline std::string Bin() { return std::filesystem::path(basic::App::Path()).string(); }

// Runs a program to its end; its exit code, 1 when it did not end in a minute.
inline DWORD RunQuietly(const std::string& commandLine) { return driver::RunToEnd(commandLine); }

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

}  // namespace endtoend
