#include "Files.h"

#include "Err.h"
#include "Text.h"

namespace basic {

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
  UniqueFile file(CreateFileA(ToAnsi(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseFileError(GetLastError());
  return file;
}

void WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)) RaiseFileError(GetLastError());
  if (written != bytes.size()) RaiseFileError(ERROR_DISK_FULL);
}

void WriteNewFile(const std::wstring& path, std::string_view bytes) {
  WriteAll(OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS).get(), bytes);
}

std::string ReadWholeFile(const std::wstring& path) {
  const UniqueFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) RaiseFileError(GetLastError());
  std::string content(size_t(size.QuadPart), '\0');
  DWORD read = 0;
  if (!content.empty() && !ReadFile(file.get(), content.data(), DWORD(content.size()), &read, nullptr))
    RaiseFileError(GetLastError());
  content.resize(read);
  return content;
}

}  // namespace basic
