#include "SharePaths.h"

#include <winnetwk.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string_view>

#include "../basic/SystemLibraries.h"
#include "../basic/Text.h"

namespace sharepaths {

namespace {

// A server's or a share's name: not empty, not dots alone, and no character
// that no such name may hold. That keeps out the device paths \\?\ and \\.\,
// whose "server" is no machine.
bool IsNamePart(std::wstring_view name) {
  return name.find_first_not_of(L'.') != std::wstring_view::npos &&
         name.find_first_of(L"\\/:*?\"<>|") == std::wstring_view::npos;
}

// A share that names one, or why it cannot be recorded.
TypedShare Recordable(const std::wstring& share) {
  std::wstring tooLong = ShareTooLong(share);
  return tooLong.empty() ? TypedShare{share, L""} : TypedShare{L"", std::move(tooLong)};
}

}  // namespace

std::wstring SharePath(const std::wstring& text) {
  std::wstring_view path = text;
  if (path.size() > 2 && path.back() == L'\\') path.remove_suffix(1);
  if (!path.starts_with(L"\\\\")) return L"";
  const std::wstring_view names = path.substr(2);
  const size_t slash = names.find(L'\\');
  if (slash == std::wstring_view::npos) return L"";
  return IsNamePart(names.substr(0, slash)) && IsNamePart(names.substr(slash + 1)) ? std::wstring(path) : L"";
}

bool IsNetworkPath(const std::wstring& text) {
  if (!text.starts_with(L"\\\\")) return false;
  const size_t slash = text.find(L'\\', 2);
  return slash != std::wstring::npos && IsNamePart(std::wstring_view(text).substr(2, slash - 2)) &&
         slash + 1 < text.size() && text[slash + 1] != L'\\';
}

bool IsDriveText(const std::wstring& text) {
  return (text.size() == 2 || (text.size() == 3 && text[2] == L'\\')) && iswalpha(text[0]) && text[1] == L':';
}

std::wstring WithoutTrailingBackslashes(std::wstring path) {
  while (path.size() > 2 && path.back() == L'\\') path.pop_back();
  return path;
}

bool IsFullFolderPath(const std::wstring& path) {
  std::wstring_view rest = path;
  if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\') {
    rest.remove_prefix(3);
  } else {
    const size_t server = path.find(L'\\', 2);
    const size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
    if (SharePath(path.substr(0, share)).empty()) return false;
    rest.remove_prefix(std::min(share, path.size()));
  }
  return std::ranges::none_of(rest, [](wchar_t c) { return c < 32 || wcschr(L":*?\"<>|", c); });
}

bool FitsFolderPathLimit(const std::wstring& folder) { return basic::ToAnsi(folder).size() <= kMaxFolderPath; }

std::wstring ShareTooLong(const std::wstring& share) {
  if (FitsFolderPathLimit(share + L"\\dats")) return L"";
  return L"\"" + basic::Abridged(share) + L"\" is too long: the set-up can record a share of at most " +
         std::to_wstring(kMaxFolderPath - 5) + L" characters, so that its data folder fits in a path.";
}

bool IsKorvellShare(const std::wstring& remoteName) {
  static const std::wstring kFolder = L"KORVELL";
  return remoteName.size() >= kFolder.size() &&
         basic::UCase(remoteName.substr(remoteName.size() - kFolder.size())) == kFolder;
}

bool HoldsDataFolder(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesA(basic::ToAnsi(folder + L"\\dats").c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD NetworkDriveConnection(const std::string& drive, std::string& remote) {
  std::string buffer(MAX_PATH, '\0');
  DWORD size = DWORD(buffer.size());
  const auto& mpr = basic::Mpr();
  DWORD result = mpr.WNetGetConnectionA(drive.c_str(), buffer.data(), &size);
  if (result == ERROR_MORE_DATA) {
    buffer.assign(std::max<DWORD>(size, 2 * DWORD(buffer.size())), '\0');
    size = DWORD(buffer.size());
    result = mpr.WNetGetConnectionA(drive.c_str(), buffer.data(), &size);
  }
  if (result == NO_ERROR) remote = buffer.c_str();
  return result;
}

TypedShare ResolveTypedPath(const std::wstring& typed, DriveResolver driveConnection) {
  const std::wstring text = basic::Trim(typed);
  if (text.empty()) return {};
  if (!IsDriveText(text)) {
    const std::wstring share = SharePath(text);
    if (share.empty()) return {L"", L"\"" + basic::Abridged(text) + L"\" is not the path of a network share."};
    return Recordable(share);
  }
  const std::wstring drive = basic::UCase(text.substr(0, 2));
  std::string remote;
  if (driveConnection(basic::ToAnsi(drive), remote) != NO_ERROR) return {L"", drive + L" is not a network drive."};
  const std::wstring share = SharePath(basic::FromAnsi(remote));
  if (share.empty()) return {L"", drive + L" leads to " + basic::FromAnsi(remote) + L", which is not a network share."};
  return Recordable(share);
}

DWORD ConnectShare(const std::wstring& share, const std::wstring& user, const std::wstring& password) {
  std::string remote = basic::ToAnsi(share);
  const std::string name = basic::ToAnsi(user);
  const Wiped secret(basic::ToAnsi(password));
  NETRESOURCEA resource{};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpRemoteName = remote.data();
  // Not remembered in the user's profile: that records a drive letter, and
  // there is none.
  return basic::Mpr().WNetAddConnection2A(&resource, secret.text.c_str(), user.empty() ? nullptr : name.c_str(),
                                          CONNECT_CMD_SAVECRED);
}

}  // namespace sharepaths
