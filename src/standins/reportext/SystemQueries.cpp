#include "SystemQueries.h"

#include <psapi.h>

#include <cstring>

#include "basic/Handles.h"
#include "basic/SystemLibraries.h"

namespace reportext {

std::string RegistryText(HKEY root, const std::string& path, const char* value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS) return {};
  const basic::UniqueKey key(opened);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::string text(size, '\0');
  if (RegQueryValueExA(key.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return {};
  text.resize(strnlen(text.c_str(), size));
  return text;
}

std::string ModuleFileName(HMODULE module) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(module, buffer.data(), DWORD(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string FileVersion(const std::string& path) {
  DWORD ignored = 0;
  const auto& version = basic::Version();
  const DWORD size = version.GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::string block(size, '\0');
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!version.GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
      !version.VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    return {};
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

std::vector<HMODULE> LoadedModules() {
  // Modules may come and go between the two calls: ask until the list fits.
  std::vector<HMODULE> modules(64);
  for (;;) {
    DWORD needed = 0;
    if (!EnumProcessModules(GetCurrentProcess(), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed))
      return {};
    const size_t count = needed / sizeof(HMODULE);
    if (count <= modules.size()) {
      modules.resize(count);
      return modules;
    }
    modules.resize(count + 16);
  }
}

std::string LocateLibrary(const std::string& name) {
  if (name.empty()) return {};
  if (HMODULE loaded = GetModuleHandleA(name.c_str())) return ModuleFileName(loaded);
  char found[MAX_PATH];
  const DWORD n = SearchPathA(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(found, n) : std::string();
}

std::string DescribeLibrary(const std::string& path) {
  const std::string version = FileVersion(path);
  return path + (version.empty() ? ", no version" : ", version " + version);
}

}  // namespace reportext
