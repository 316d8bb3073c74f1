#include "ZipArchive.h"

#include <zlib.h>

#include <algorithm>

#include "basic/Err.h"
#include "basic/Files.h"
#include "basic/Text.h"
#include "basic/Handles.h"

namespace reportext {

namespace {

constexpr uint16_t kStored = 0, kDeflated = 8;
constexpr uint16_t kVersion = 20;  // 2.0: deflate, no extensions

void Put16(std::string& out, uint16_t value) {
  out += char(value & 0xFF);
  out += char(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, uint16_t(value & 0xFFFF));
  Put16(out, uint16_t(value >> 16));
}

class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      basic::Raise(basic::errOutOfMemory);
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Raw deflate data, as a zip entry holds it.
  std::string Deflate(std::string_view input) {
    std::string output(deflateBound(&stream_, uLong(input.size())), '\0');
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream_.avail_in = uInt(input.size());
    stream_.next_out = reinterpret_cast<Bytef*>(output.data());
    stream_.avail_out = uInt(output.size());
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) basic::Raise(basic::errInternal);
    output.resize(stream_.total_out);
    return output;
  }

 private:
  z_stream stream_{};
};

using UniqueFind = basic::UniqueOf<HANDLE, FindClose>;

struct FolderFile {
  std::string name;
  FILETIME modified;
  DWORD attributes;
};

std::vector<FolderFile> RegularFiles(const std::string& folder, const std::string& except) {
  WIN32_FIND_DATAA found;
  HANDLE first = FindFirstFileA((folder + "*").c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) basic::RaiseFileError(GetLastError());
  const UniqueFind find(first);
  std::vector<FolderFile> files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lstrcmpiA(found.cFileName, except.c_str()) != 0)
      files.push_back({found.cFileName, found.ftLastWriteTime, found.dwFileAttributes});
  } while (FindNextFileA(find.get(), &found));
  std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
  return files;
}

}  // namespace

void ZipArchive::Add(const std::string& name, std::string_view content, const FILETIME& modified, DWORD attributes) {
  Entry entry{name, kDeflated, 0, 0, 0, 0, uint32_t(content.size()), attributes, uint32_t(data_.size())};
  FILETIME local;
  FileTimeToLocalFileTime(&modified, &local);
  FileTimeToDosDateTime(&local, &entry.date, &entry.time);
  entry.crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(content.data()), uInt(content.size())));
  std::string packed = Deflater().Deflate(content);
  // Data that does not shrink (already packed, or empty) is kept as it is.
  if (packed.size() >= content.size()) {
    packed = content;
    entry.method = kStored;
  }
  entry.compressedSize = uint32_t(packed.size());

  Put32(data_, 0x04034B50);
  for (uint16_t value : {kVersion, uint16_t(0), entry.method, entry.time, entry.date}) Put16(data_, value);
  for (uint32_t value : {entry.crc, entry.compressedSize, entry.size}) Put32(data_, value);
  Put16(data_, uint16_t(name.size()));
  Put16(data_, 0);  // no extra field
  data_ += name;
  data_ += packed;
  entries_.push_back(std::move(entry));
}

std::string ZipArchive::Bytes() const {
  std::string directory;
  for (const Entry& e : entries_) {
    Put32(directory, 0x02014B50);
    for (uint16_t value : {kVersion, kVersion, uint16_t(0), e.method, e.time, e.date}) Put16(directory, value);
    for (uint32_t value : {e.crc, e.compressedSize, e.size}) Put32(directory, value);
    // name length, extra, comment, disk, internal attributes
    for (uint16_t value : {uint16_t(e.name.size()), uint16_t(0), uint16_t(0), uint16_t(0), uint16_t(0)})
      Put16(directory, value);
    Put32(directory, e.attributes & 0xFF);  // the DOS attributes in the low byte
    Put32(directory, e.offset);
    directory += e.name;
  }
  std::string end;
  Put32(end, 0x06054B50);
  for (uint16_t value : {uint16_t(0), uint16_t(0), uint16_t(entries_.size()), uint16_t(entries_.size())})
    Put16(end, value);
  Put32(end, uint32_t(directory.size()));
  Put32(end, uint32_t(data_.size()));
  Put16(end, 0);  // no comment
  return data_ + directory + end;
}

void ZipFolder(const std::string& folder, const std::string& archiveName) {
  const std::string prefix = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
  ZipArchive archive;
  for (const FolderFile& file : RegularFiles(prefix, archiveName))
    archive.Add(file.name, basic::ReadWholeFile(basic::FromAnsi(prefix + file.name)), file.modified, file.attributes);
  basic::WriteNewFile(basic::FromAnsi(prefix + archiveName), archive.Bytes());
}

}  // namespace reportext
