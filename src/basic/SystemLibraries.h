// The system's libraries that are not among its known DLLs, loaded from the
// system folder by their full path when first used, and the full paths of
// the system's programs. Windows looks for a library or a program named bare
// in the program's own folder first; the set-up's folder is shared with full
// access, so anything named bare could be a file that someone planted there.
#pragma once
#include <windows.h>
// after windows.h, whose types they use
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>
#include <winver.h>

#include <string>

#include "Handles.h"

namespace basic {

// Keeps libraries and programs named bare from being taken from the
// program's folder or the current one; the first thing the program does.
void RestrictLibrarySearch();

// A file of the system folder ("C:\windows\system32\mpr.dll") and of the
// Windows folder ("C:\windows\explorer.exe"), by full path.
std::string SystemFolderFile(const char* name);
std::string WindowsFolderFile(const char* name);

// Loads a library of the system folder by its full path; null when it cannot
// be. A load by bare name would answer a module of that name that something
// else loaded from elsewhere.
UniqueModule LoadSystemLibrary(const char* name);

// A library of the system folder, loaded by its full path, that stays for
// the life of the process, as its functions are held. One that cannot be
// loaded is the run-time error "Error in loading DLL" (48), naming its path,
// of the step that needed it; a function missing from it, error 453.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* name);
  template <class Function>
  void operator()(const char* name, Function& function) const {
    function = reinterpret_cast<Function>(Find(name));
  }

 private:
  void* Find(const char* name) const;
  std::string path_;
  HMODULE module_;
};

// The network provider router's functions.
struct NetworkRouter {
  decltype(&::WNetOpenEnumA) WNetOpenEnumA;
  decltype(&::WNetEnumResourceA) WNetEnumResourceA;
  decltype(&::WNetCloseEnum) WNetCloseEnum;
  decltype(&::WNetGetConnectionA) WNetGetConnectionA;
  decltype(&::WNetAddConnection2A) WNetAddConnection2A;
};

// The version library's functions.
struct VersionInfo {
  decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA;
  decltype(&::GetFileVersionInfoA) GetFileVersionInfoA;
  decltype(&::VerQueryValueA) VerQueryValueA;
};

// The accessibility library's functions, for a control that serves a screen
// reader an object of its own.
struct Accessibility {
  decltype(&::LresultFromObject) LresultFromObject;
  decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject;
};

// The component runtime's functions: the helper object and the scripting
// runtime's file-system object are made through them.
struct ComRuntime {
  decltype(&::CoInitialize) CoInitialize;
  decltype(&::CoUninitialize) CoUninitialize;
  decltype(&::CoCreateInstance) CoCreateInstance;
  decltype(&::CLSIDFromProgID) CLSIDFromProgID;
};

// OLE automation's texts and variants, as late-bound calls and a screen
// reader take them.
struct OleAutomation {
  decltype(&::SysAllocStringLen) SysAllocStringLen;
  decltype(&::SysFreeString) SysFreeString;
  decltype(&::VariantInit) VariantInit;
  decltype(&::VariantClear) VariantClear;
};

// The shell's functions, for the error report: the user's own folder, and the
// user's mail program.
struct Shell {
  decltype(&::SHGetFolderPathA) SHGetFolderPathA;
  decltype(&::ShellExecuteA) ShellExecuteA;
};

// Each library is loaded, and its functions looked up, on the first call:
// none of them is needed before the first window, and each brings libraries
// of its own that would all load with the program, ahead of that window.
const NetworkRouter& Mpr();
const VersionInfo& Version();
const Accessibility& Oleacc();
const ComRuntime& Ole32();
const OleAutomation& OleAut32();
const Shell& Shell32();

}  // namespace basic
