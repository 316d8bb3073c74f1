#include "App.h"

#include <windows.h>

#include <algorithm>

#include "Text.h"

namespace basic::App {

std::wstring ModulePath() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n < buffer.size()) return FromAnsi(std::string_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring Path() {
  const std::wstring module = ModulePath();
  return module.substr(0, module.find_last_of(L'\\'));
}

std::wstring CommandLine() {
  // The command line without the program's own name, as the program sees its arguments.
  const std::wstring whole = FromAnsi(GetCommandLineA());
  size_t i = 0;
  if (!whole.empty() && whole[0] == L'"') {
    i = whole.find(L'"', 1);
    i = i == std::wstring::npos ? whole.size() : i + 1;
  } else {
    i = std::min(whole.find(L' '), whole.size());
  }
  i = std::min(whole.find_first_not_of(L' ', i), whole.size());
  return whole.substr(i);
}

}  // namespace basic::App
