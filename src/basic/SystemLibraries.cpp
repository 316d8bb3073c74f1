#include "SystemLibraries.h"

#include "Err.h"
#include "Text.h"

namespace basic {

namespace {

std::string FolderFile(UINT(WINAPI* folder)(LPSTR, UINT), const char* name) {
  char path[MAX_PATH] = "";
  const UINT length = folder(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) Raise(errPathNotFound);
  return std::string(path, length) + "\\" + name;
}

}  // namespace

void RestrictLibrarySearch() {
  // Looked up, not imported: a system that lacks it could not start the
  // program at all. There, the current folder at least leaves the search.
  using SetDefault = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefault>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA("");
  SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

std::string SystemFolderFile(const char* name) { return FolderFile(GetSystemDirectoryA, name); }
std::string WindowsFolderFile(const char* name) { return FolderFile(GetWindowsDirectoryA, name); }

UniqueModule LoadSystemLibrary(const char* name) { return UniqueModule(LoadLibraryA(SystemFolderFile(name).c_str())); }

SystemLibrary::SystemLibrary(const char* name) : path_(SystemFolderFile(name)), module_(LoadLibraryA(path_.c_str())) {
  if (!module_) Raise(errDllLoad, L"The system library \"" + FromAnsi(path_) + L"\" could not be loaded.");
}

void* SystemLibrary::Find(const char* name) const {
  void* function = reinterpret_cast<void*>(GetProcAddress(module_, name));
  if (!function)
    Raise(errDllEntry, L"The system library \"" + FromAnsi(path_) + L"\" has no function \"" + FromAnsi(name) + L"\".");
  return function;
}

const NetworkRouter& Mpr() {
  static const NetworkRouter router = [] {
    const SystemLibrary library("mpr.dll");
    NetworkRouter r{};
    library("WNetOpenEnumA", r.WNetOpenEnumA);
    library("WNetEnumResourceA", r.WNetEnumResourceA);
    library("WNetCloseEnum", r.WNetCloseEnum);
    library("WNetGetConnectionA", r.WNetGetConnectionA);
    library("WNetAddConnection2A", r.WNetAddConnection2A);
    return r;
  }();
  return router;
}

const VersionInfo& Version() {
  static const VersionInfo version = [] {
    const SystemLibrary library("version.dll");
    VersionInfo v{};
    library("GetFileVersionInfoSizeA", v.GetFileVersionInfoSizeA);
    library("GetFileVersionInfoA", v.GetFileVersionInfoA);
    library("VerQueryValueA", v.VerQueryValueA);
    return v;
  }();
  return version;
}

const Accessibility& Oleacc() {
  static const Accessibility accessibility = [] {
    const SystemLibrary library("oleacc.dll");
    Accessibility a{};
    library("LresultFromObject", a.LresultFromObject);
    library("CreateStdAccessibleObject", a.CreateStdAccessibleObject);
    return a;
  }();
  return accessibility;
}

const ComRuntime& Ole32() {
  static const ComRuntime com = [] {
    const SystemLibrary library("ole32.dll");
    ComRuntime c{};
    library("CoInitialize", c.CoInitialize);
    library("CoUninitialize", c.CoUninitialize);
    library("CoCreateInstance", c.CoCreateInstance);
    library("CLSIDFromProgID", c.CLSIDFromProgID);
    return c;
  }();
  return com;
}

const OleAutomation& OleAut32() {
  static const OleAutomation automation = [] {
    const SystemLibrary library("oleaut32.dll");
    OleAutomation a{};
    library("SysAllocStringLen", a.SysAllocStringLen);
    library("SysFreeString", a.SysFreeString);
    library("VariantInit", a.VariantInit);
    library("VariantClear", a.VariantClear);
    return a;
  }();
  return automation;
}

const Shell& Shell32() {
  static const Shell shell = [] {
    const SystemLibrary library("shell32.dll");
    Shell s{};
    library("SHGetFolderPathA", s.SHGetFolderPathA);
    library("ShellExecuteA", s.ShellExecuteA);
    return s;
  }();
  return shell;
}

}  // namespace basic
