#include "VbwExtension.h"

#include <algorithm>
#include <vector>

#include "ObjectDescription.h"
#include "SimpleMapi.h"
#include "SystemQueries.h"
#include "SystemReport.h"
#include "ZipArchive.h"
#include "basic/Err.h"
#include "basic/Handles.h"
#include "basic/Text.h"

namespace {

constexpr const char* kHelperLibrary = "Merrow.dll";
constexpr const char* kHelperServerKey = "CLSID\\{DF6AE8AB-6884-4C5B-9635-3DEA7BD232DD}\\InprocServer32";

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

// The helper library beside the program, else where it is registered.
std::string HelperLibrary(const std::string& program) {
  if (const std::string beside = Folder(program) + kHelperLibrary; FileExists(beside)) return beside;
  const std::string registered = reportext::RegistryText(HKEY_CLASSES_ROOT, kHelperServerKey, nullptr);
  return FileExists(registered) ? registered : std::string();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find(separator, start), text.size());
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::wstring JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
  return basic::FromAnsi(text);
}

}  // namespace

std::wstring VbwExtension::VersionReport() const {
  using reportext::DescribeLibrary;
  const std::string program = reportext::ModuleFileName(InstanceHandle ? InstanceHandle : GetModuleHandleA(nullptr));
  const std::string version = reportext::FileVersion(program);
  std::vector<std::string> lines{
      "Program: " + program,
      "Program version: " + (version.empty() ? std::string("none") : version),
      "Command line: " + basic::ToAnsi(CommandLine),
  };
  const std::string helper = HelperLibrary(program);
  lines.push_back(std::string(kHelperLibrary) + ": " + (helper.empty() ? "not found" : DescribeLibrary(helper)));
  const std::string runtime = basic::ToAnsi(RuntimeLibrary), runtimePath = reportext::LocateLibrary(runtime);
  lines.push_back("Runtime library: " + runtime +
                  (runtimePath.empty() ? ", not found" : ": " + DescribeLibrary(runtimePath)));
  for (const std::string& reference : Split(basic::ToAnsi(References), ';')) lines.push_back("Reference: " + reference);
  for (HMODULE module : reportext::LoadedModules())
    lines.push_back("Module: " + DescribeLibrary(reportext::ModuleFileName(module)));
  return JoinLines(lines);
}

std::wstring VbwExtension::SystemReport() const { return reportext::DescribeSystem(); }

void VbwExtension::Compress(const std::wstring& folder, const std::wstring& archiveName) const {
  reportext::ZipFolder(basic::ToAnsi(folder), basic::ToAnsi(archiveName));
}

int32_t VbwExtension::SendMail(const std::wstring& recipientName, const std::wstring& recipientAddress,
                               const std::wstring& subject, const std::wstring& body,
                               const std::wstring& attachmentPath) const noexcept {
  try {
    return reportext::SendSimpleMail({basic::ToAnsi(recipientName), basic::ToAnsi(recipientAddress),
                                      basic::ToAnsi(subject), basic::ToAnsi(body), basic::ToAnsi(attachmentPath)});
  } catch (...) {
    return reportext::kMailFailure;
  }
}

void VbwExtension::ObjectReport(const std::wstring& name, const basic::Object* object, int32_t indent) const {
  const std::wstring tabs(size_t(std::max(indent, 0)), L'\t');
  std::wstring text;
  for (const std::wstring& line : reportext::DescribeObject(name, object, StringLimit)) text += tabs + line + L"\r\n";
  const std::string bytes = basic::ToAnsi(text);
  const basic::UniqueFile file(CreateFileA(basic::ToAnsi(DumpPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr))
    basic::RaiseFileError(GetLastError());
}
