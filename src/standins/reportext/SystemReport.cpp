#include "SystemReport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "SystemQueries.h"
#include "basic/Text.h"

namespace reportext {

namespace {

using Lines = std::vector<std::string>;

std::string Megabytes(DWORDLONG bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

void OperatingSystem(Lines& lines) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const std::string product =
      RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
  std::string line = "Operating system: " + (product.empty() ? std::string("Windows") : product) + ", version " +
                     std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
                     ", build " + std::to_string(version.dwBuildNumber);
  if (version.szCSDVersion[0]) line += ", " + std::string(version.szCSDVersion);
  lines.push_back(line);
}

void Memory(Lines& lines) {
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (!GlobalMemoryStatusEx(&memory)) return;
  lines.push_back("Memory: " + Megabytes(memory.ullTotalPhys) + " physical, " + Megabytes(memory.ullAvailPhys) +
                  " free, " + std::to_string(memory.dwMemoryLoad) + "% in use");
  lines.push_back("Page file: " + Megabytes(memory.ullTotalPageFile) + ", " + Megabytes(memory.ullAvailPageFile) +
                  " free");
  lines.push_back("Address space: " + Megabytes(memory.ullTotalVirtual) + ", " + Megabytes(memory.ullAvailVirtual) +
                  " free");
}

std::string ArchitectureName(WORD architecture) {
  static const std::pair<WORD, const char*> names[] = {
      {PROCESSOR_ARCHITECTURE_INTEL, "x86"},
      {PROCESSOR_ARCHITECTURE_AMD64, "x64"},
      {PROCESSOR_ARCHITECTURE_ARM, "ARM"},
      {PROCESSOR_ARCHITECTURE_IA64, "IA-64"},
      {12 /* ARM64 */, "ARM64"},
  };
  for (const auto& [value, name] : names)
    if (value == architecture) return name;
  return "architecture " + std::to_string(architecture);
}

void Processor(Lines& lines) {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  const std::string name =
      RegistryText(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString");
  lines.push_back("Processor: " + (name.empty() ? std::string("unnamed") : name) + ", " +
                  ArchitectureName(info.wProcessorArchitecture) + ", " + std::to_string(info.dwNumberOfProcessors) +
                  " processors, level " + std::to_string(info.wProcessorLevel) + ", revision " +
                  Hex(info.wProcessorRevision, 4));
}

struct DriveKind {
  UINT type;
  const char* name;
  bool askSpace;  // removable media would make the system ask for a disk
};

constexpr DriveKind kDriveKinds[] = {
    {DRIVE_REMOVABLE, "removable", false},
    {DRIVE_FIXED, "fixed", true},
    {DRIVE_REMOTE, "network", true},
    {DRIVE_CDROM, "CD-ROM", false},
    {DRIVE_RAMDISK, "RAM disk", true},
};

std::string Drive(const char* root) {
  const UINT type = GetDriveTypeA(root);
  const auto kind = std::find_if(std::begin(kDriveKinds), std::end(kDriveKinds),
                                 [type](const DriveKind& k) { return k.type == type; });
  std::string line = std::string("Disk ") + root + ": ";
  if (kind == std::end(kDriveKinds)) return line + "unknown type";
  line += kind->name;
  if (!kind->askSpace) return line;
  ULARGE_INTEGER free{}, total{};
  if (!GetDiskFreeSpaceExA(root, &free, &total, nullptr)) return line + ", not ready";
  return line + ", " + Megabytes(free.QuadPart) + " free of " + Megabytes(total.QuadPart);
}

void Disks(Lines& lines) {
  std::string roots(GetLogicalDriveStringsA(0, nullptr), '\0');
  roots.resize(GetLogicalDriveStringsA(DWORD(roots.size()), roots.data()));
  for (const char* root = roots.c_str(); *root; root += strlen(root) + 1) lines.push_back(Drive(root));
}

void Locale(Lines& lines) {
  char name[LOCALE_NAME_MAX_LENGTH] = "";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNAME, name, sizeof name);
  lines.push_back("Locale: " + std::string(name) + " (LCID " + Hex(GetUserDefaultLCID(), 4) + "), ANSI code page " +
                  std::to_string(GetACP()));
}

void Names(Lines& lines) {
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  char user[257] = "";
  size = sizeof user;
  GetUserNameA(user, &size);
  lines.push_back(std::string("Computer name: ") + computer);
  lines.push_back(std::string("User name: ") + user);
}

void Screen(Lines& lines) {
  HDC screen = GetDC(nullptr);
  const int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  lines.push_back("Screen: " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x " +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ", " + std::to_string(bits) + " bits per pixel");
}

}  // namespace

std::wstring DescribeSystem() {
  Lines lines;
  for (auto part : {OperatingSystem, Memory, Processor, Disks, Locale, Names, Screen}) part(lines);
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
  return basic::FromAnsi(text);
}

}  // namespace reportext
