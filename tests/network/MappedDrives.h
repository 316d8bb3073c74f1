// Drives mapped as the router would report them, for the tests of typed
// paths: K: leads to the master's share, L: to a server alone, every other
// letter is a local drive.
#pragma once
#include <windows.h>

#include <map>
#include <string>

inline DWORD MappedDrives(const std::string& drive, std::string& remote) {
  static const std::map<std::string, std::string> kDrives{{"K:", "\\\\MASTER\\korvell"}, {"L:", "\\\\MASTER"}};
  const auto it = kDrives.find(drive);
  if (it == kDrives.end()) return ERROR_NOT_CONNECTED;
  remote = it->second;
  return NO_ERROR;
}
