// What the program knows about itself: names, folder, version, command line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "AppVersion.h"

namespace basic::App {

inline constexpr const wchar_t* EXEName = L"Tamsel32";  // without extension
inline constexpr const wchar_t* Title = L"Tamsel";
inline constexpr const wchar_t* ProjectName = L"Tamsel";
inline constexpr int Major = APP_VERSION_MAJOR;
inline constexpr int Minor = APP_VERSION_MINOR;
inline constexpr int Revision = APP_VERSION_REVISION;

// Folder of the running program, without a trailing backslash.
std::wstring Path();
// Full path of the running program's module.
std::wstring ModulePath();
std::wstring CommandLine();
// The program's arguments, split by the system's rule, from the command line
// as it was typed: a name that the code page cannot carry is still whole
// here, so that it can be refused by its name.
std::vector<std::wstring> Arguments();

// A command line split as the shell's CommandLineToArgvW splits it, the
// program's name first. Split here: the shell library, with the libraries it
// brings, would otherwise load at every start, before the first window.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

}  // namespace basic::App
