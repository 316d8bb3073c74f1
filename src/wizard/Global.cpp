#include "Global.h"

#include <windows.h>

#include "../basic/Err.h"
#include "../basic/Text.h"

using namespace basic;

namespace {

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
  UniqueFile file(CreateFileA(ToAnsi(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseFileError(GetLastError());
  return file;
}

void WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)) RaiseFileError(GetLastError());
  if (written != bytes.size()) RaiseFileError(ERROR_DISK_FULL);
}

}  // namespace

std::wstring yearfile::FileName(int year) { return std::to_wstring(year) + L".DAT"; }

YearFile::YearFile(const std::wstring& path)
    : file_(OpenFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS)) {}

bool YearFile::IsPrepared() const {
  char first = '\0';
  DWORD read = 0;
  OVERLAPPED at{};  // offset 0
  if (!ReadFile(file_.get(), &first, 1, &read, &at)) {
    if (GetLastError() != ERROR_HANDLE_EOF) RaiseFileError(GetLastError());
    return false;
  }
  return read == 1 && (first == '0' || first == '1');
}

void YearFile::Prepare(const std::function<void()>& progress) {
  using namespace yearfile;
  // Until the end, record 1 begins with a NUL, the mark of a file not yet prepared.
  const std::string record(kRecordLength, '0');
  std::string firstRecord = record;
  firstRecord[0] = '\0';
  for (int month = 1; month <= kMonths; ++month) {
    for (int slot = 1; slot <= kSlotsPerMonth; ++slot) {
      for (int day = 1; day <= kRecordLength; ++day) progress();
      const int n = RecordNumber(month, slot);
      WriteAt(int64_t(n - 1) * kRecordLength, n == 1 ? firstRecord : record);
    }
  }
  Flush();
  WriteAt(0, "0");
  Flush();
}

void YearFile::WriteAt(int64_t offset, const std::string& bytes) {
  LARGE_INTEGER position;
  position.QuadPart = offset;
  if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) RaiseFileError(GetLastError());
  WriteAll(file_.get(), bytes);
}

void YearFile::Flush() {
  if (!FlushFileBuffers(file_.get())) RaiseFileError(GetLastError());
}

void WriteOffsetFile(const std::wstring& path, int month) {
  const UniqueFile file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  WriteAll(file.get(), std::to_string(month) + "\r\n");
}

void TouchFile(const std::wstring& path) { OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS); }
