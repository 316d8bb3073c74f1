// A zip archive built in memory: deflated entries with their CRC-32, local
// headers, the central directory and the end record.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reportext {

class ZipArchive {
 public:
  // name is stored as given (the ANSI name of the file).
  void Add(const std::string& name, std::string_view content, const FILETIME& modified, DWORD attributes);
  // The whole archive, central directory and end record included.
  std::string Bytes() const;

 private:
  struct Entry {
    std::string name;
    uint16_t method, time, date;
    uint32_t crc, compressedSize, size, attributes, offset;
  };
  std::string data_;  // local headers and contents
  std::vector<Entry> entries_;
};

// Writes folder\archiveName holding every regular file of the folder but
// the archive itself. Raises a run-time error when a file fails.
void ZipFolder(const std::string& folder, const std::string& archiveName);

}  // namespace reportext
