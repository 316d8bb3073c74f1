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

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  arguments.erase(arguments.begin());
  return arguments;
}

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  std::vector<std::wstring> arguments(1);
  size_t i = 0;
  // The program's name ends at the next quote when it begins with one, else
  // at the first blank: a backslash is a plain character in it.
  if (!line.empty() && line[0] == L'"') {
    const size_t end = std::min(line.find(L'"', 1), line.size());
    arguments[0] = line.substr(1, end - 1);
    i = std::min(end + 1, line.size());
  } else {
    for (; i < line.size() && !blank(line[i]); ++i) arguments[0] += line[i];
  }
  // After it, blanks outside quotes part the arguments. A quote after 2n
  // backslashes keeps n of them and opens or closes a quoted part; after
  // 2n + 1, it keeps n and is a quote of the argument. Of quotes in a row,
  // every third is a quote of the argument.
  int quotes = 0;
  size_t backslashes = 0;
  bool inArgument = false;
  while (i < line.size()) {
    const wchar_t c = line[i++];
    if (blank(c) && quotes == 0) {
      inArgument = false;
      backslashes = 0;
      continue;
    }
    if (!inArgument) arguments.emplace_back(), inArgument = true;
    std::wstring& argument = arguments.back();
    if (c != L'"') {
      argument += c;
      backslashes = c == L'\\' ? backslashes + 1 : 0;
      continue;
    }
    argument.resize(argument.size() - backslashes / 2);
    if (backslashes % 2)
      argument.back() = L'"';
    else
      ++quotes;
    backslashes = 0;
    for (; i < line.size() && line[i] == L'"'; ++i)
      if (++quotes == 3) argument += L'"', quotes = 0;
    if (quotes == 2) quotes = 0;
  }
  return arguments;
}

}  // namespace basic::App
