// What the program knows about itself: names, folder, version, command line.
#pragma once
#include <string>

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

}  // namespace basic::App
