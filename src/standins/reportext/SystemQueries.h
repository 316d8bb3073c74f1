// Small questions to the system that the reports ask: registry texts,
// modules, their paths and their file versions.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace reportext {

// A string value of the 32-bit view, empty when it is missing.
std::string RegistryText(HKEY root, const std::string& path, const char* value);
std::string ModuleFileName(HMODULE module);
// "major.minor.build.revision" from the file's version resource; empty when it has none.
std::string FileVersion(const std::string& path);
// Every module of this process, in the order the system lists them.
std::vector<HMODULE> LoadedModules();
// Where a library is: the loaded module, else the file the loader would
// find; empty when neither.
std::string LocateLibrary(const std::string& name);
// The path and version of a library as the reports write them.
std::string DescribeLibrary(const std::string& path);

}  // namespace reportext
