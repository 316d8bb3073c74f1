// The report archive, read back entry by entry with zlib. The first test
// leaves its archive (checked.zip) and the listing it expects (expected.txt)
// in the folder reportext-archive beside the test program, where the check
// by the system's unzip (check-archive.sh), which ctest runs after this
// program, finds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "ReportExtTesting.h"
#include "basic/Err.h"
#include "standins/reportext/VbwExtension.h"

namespace {

struct Entry {
  std::string content;
  uint16_t method, time, date;
};

uint32_t Get(const std::string& zip, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | uint8_t(zip.at(at + size_t(i)));
  return value;
}

std::string Inflate(const std::string& packed, size_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = uInt(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = uInt(out.size());
  const int result = inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
  EXPECT_EQ(result, Z_STREAM_END);
  return out;
}

// The entries by name, through the central directory as an unpacker reads
// them; checks that local headers and directory agree and the CRCs hold.
std::map<std::string, Entry> ReadZip(const std::string& zip) {
  const size_t end = zip.size() - 22;
  EXPECT_EQ(Get(zip, end, 4), 0x06054B50u);
  const uint32_t count = Get(zip, end + 10, 2);
  size_t at = Get(zip, end + 16, 4);
  EXPECT_EQ(at + Get(zip, end + 12, 4), end);
  std::map<std::string, Entry> entries;
  for (uint32_t i = 0; i < count; ++i) {
    EXPECT_EQ(Get(zip, at, 4), 0x02014B50u);
    const uint16_t method = uint16_t(Get(zip, at + 10, 2));
    const uint32_t crc = Get(zip, at + 16, 4), packedSize = Get(zip, at + 20, 4), size = Get(zip, at + 24, 4);
    const size_t nameLength = Get(zip, at + 28, 2), local = Get(zip, at + 42, 4);
    const std::string name = zip.substr(at + 46, nameLength);
    EXPECT_EQ(Get(zip, local, 4), 0x04034B50u) << name;
    EXPECT_EQ(zip.substr(local + 14, 12), zip.substr(at + 16, 12)) << name;  // crc and sizes
    EXPECT_EQ(zip.substr(local + 30, nameLength), name);
    const std::string packed = zip.substr(local + 30 + nameLength + Get(zip, local + 28, 2), packedSize);
    Entry entry{method == 8 ? Inflate(packed, size) : packed, method, uint16_t(Get(zip, at + 12, 2)),
                uint16_t(Get(zip, at + 14, 2))};
    EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(entry.content.data()), uInt(size)), crc) << name;
    entries[name] = entry;
    at += 46 + nameLength + Get(zip, at + 30, 2) + Get(zip, at + 32, 2);
  }
  return entries;
}

std::string Compressible() {
  std::string text;
  for (int i = 0; text.size() < 100 * 1024; ++i) text += "Line " + std::to_string(i % 50) + " of the variable dump\r\n";
  return text.substr(0, 100 * 1024);
}

std::string Binary() {
  std::string bytes(4096, '\0');
  uint32_t state = 12345;
  for (char& c : bytes) c = char((state = state * 1103515245 + 12345) >> 24);
  return bytes;
}

class Compress : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ + "\\sub");
    for (const auto& [name, content] : files_) WriteFileText(folder_ + "\\" + name, content);
    WriteFileText(folder_ + "\\sub\\nested.txt", "not in the archive");
  }

  std::map<std::string, Entry> Archive() const { return ReadZip(ReadFileText(folder_ + "\\" + kArchive)); }

  static constexpr const char* kArchive = "Error report for Tamsel 1.0.0.zip";
  const std::string root_ = ThisFolder() + "\\reportext-archive";
  const std::string folder_ = root_ + "\\Error Report Files";
  const std::map<std::string, std::string> files_{
      {"Empty.txt", ""}, {"Variables.txt", Compressible()}, {"binary.bin", Binary()}};
};

TEST_F(Compress, PacksEveryFileOfTheFolderButSubfoldersAndRoundTrips) {
  const std::string checked = root_ + "\\checked.zip", expectation = root_ + "\\expected.txt";
  DeleteFileA(checked.c_str());
  DeleteFileA(expectation.c_str());
  VbwExtension().Compress(std::wstring(folder_.begin(), folder_.end()) + L"\\", L"Error report for Tamsel 1.0.0.zip");
  CopyFileA((folder_ + "\\" + kArchive).c_str(), checked.c_str(), FALSE);

  const auto entries = Archive();
  std::map<std::string, std::string> packed;
  for (const auto& [name, entry] : entries) packed[name] = entry.content;
  EXPECT_EQ(packed, files_);
  std::string expected;
  for (const auto& [name, content] : files_) expected += std::to_string(content.size()) + " " + name + "\n";
  ASSERT_EQ(entries.count("Variables.txt"), 1u);
  EXPECT_EQ(entries.at("Variables.txt").method, 8);
  EXPECT_LT(ReadFileText(folder_ + "\\" + kArchive).size(), 12 * 1024u);
  WriteFileText(expectation, expected);
}

TEST_F(Compress, StampsEntriesWithTheFilesLocalTimes) {
  const std::string path = folder_ + "\\Variables.txt";
  const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SYSTEMTIME when{2021, 3, 0, 14, 15, 9, 26, 0};
  FILETIME local, utc;
  SystemTimeToFileTime(&when, &local);
  LocalFileTimeToFileTime(&local, &utc);
  SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);

  VbwExtension().Compress(std::wstring(folder_.begin(), folder_.end()), L"Error report for Tamsel 1.0.0.zip");
  const auto entries = Archive();  // kept: the entry refers into it
  const Entry& entry = entries.at("Variables.txt");
  EXPECT_EQ(entry.date, (2021 - 1980) << 9 | 3 << 5 | 14);
  EXPECT_EQ(entry.time, 15 << 11 | 9 << 5 | 26 / 2);
}

TEST_F(Compress, ReplacesAnEarlierArchiveWithoutPackingIt) {
  VbwExtension extension;
  const std::wstring folder(folder_.begin(), folder_.end());
  extension.Compress(folder, L"Error report for Tamsel 1.0.0.zip");
  WriteFileText(folder_ + "\\Error.txt", "Error 5");
  extension.Compress(folder, L"Error report for Tamsel 1.0.0.zip");
  const auto entries = Archive();
  EXPECT_EQ(entries.size(), files_.size() + 1);
  EXPECT_EQ(entries.count(kArchive), 0u);
  EXPECT_EQ(entries.at("Error.txt").content, "Error 5");
}

TEST_F(Compress, RaisesAFileErrorForAMissingFolder) {
  EXPECT_THROW(VbwExtension().Compress(L"C:\\no such folder\\", L"x.zip"), basic::Error);
}

}  // namespace
