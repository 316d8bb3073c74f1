// Files of the report extension's tests: beside the test program, so that
// the checks that run outside Wine find them too.
#pragma once
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ThisFolder() {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.rfind('\\'));
}

inline std::string ReadFileText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
