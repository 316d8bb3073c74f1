// What a typed or chosen network path means, without any window: the share
// that a text names, a drive letter's share, whether a folder opens and holds
// the data folder, and connecting to a share with a user name and password.
// The network selector, the password prompt and the unattended set-up all
// take paths through here.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "../basic/Scripting.h"

namespace sharepaths {

// The \\server\share path that a text names, without a trailing backslash;
// empty when the text names anything else (a local folder, a server alone, a
// folder below a share).
std::wstring SharePath(const std::wstring& text);
// \\server\share, perhaps with a folder below it.
bool IsNetworkPath(const std::wstring& text);
// Whether the text names a drive: "K:" or "K:\".
bool IsDriveText(const std::wstring& text);
// The path without the backslashes at its end: "\\MASTER\KORVELL\\" is
// "\\MASTER\KORVELL".
std::wstring WithoutTrailingBackslashes(std::wstring path);
// Whether a folder is given in full, so that it is the same folder whatever
// the current one: a drive letter and "\" ("C:\Korvell\dats") or a network
// path ("\\server\share\dats"), and no character that no folder's name may
// hold (a "?" also stands for a character that the code page cannot carry).
bool IsFullFolderPath(const std::wstring& path);

// The longest folder path that the system's ANSI calls take, in the code
// page's characters: a folder is made only with room left in a path for a
// file name of eight and three characters. Every file that the set-up names
// in such a folder fits in a path too.
inline constexpr size_t kMaxFolderPath = MAX_PATH - 13;  // 247
// Whether a folder's path fits within that limit. A longer one is never
// handed to the system: it would take part of it, another folder.
bool FitsFolderPathLimit(const std::wstring& folder);
// Why a share cannot be recorded as a slave's master folder because the data
// folder below it ("\dats") would not fit; empty when it fits.
std::wstring ShareTooLong(const std::wstring& share);

// Whether a remote name ends with the name of the planner's folder, in any case.
bool IsKorvellShare(const std::wstring& remoteName);

// Whether the folder holds the data folder "dats" that a slave records.
bool HoldsDataFolder(const std::wstring& folder);

// The network path that a drive letter ("K:") is connected to; the router's
// answer, NO_ERROR when there is one.
DWORD NetworkDriveConnection(const std::string& drive, std::string& remote);
using DriveResolver = DWORD (*)(const std::string& drive, std::string& remote);

// A path typed in the selector: the share it names, given as \\server\share
// or as the letter of a drive connected to one; else why it names none, in a
// sentence for the user. Both are empty for an empty text.
struct TypedShare {
  std::wstring path;
  std::wstring refusal;
};
TypedShare ResolveTypedPath(const std::wstring& typed, DriveResolver driveConnection);

// Connects to a share without a drive letter; an empty user name stands for
// the user logged on. The system's error code, 0 once connected.
DWORD ConnectShare(const std::wstring& share, const std::wstring& user, const std::wstring& password);

// What the set-up asks of the network, where tests put their own in its
// place: whether a share's folder opens (the scripting runtime's test, which
// may wait on a slow network), where a typed drive letter leads (the router
// does not ask network providers about drive letters), and connecting.
inline bool (*FolderTest)(const std::wstring& path) = &basic::FolderOpens;
inline DriveResolver DriveConnection = &NetworkDriveConnection;
inline DWORD (*Connect)(const std::wstring& share, const std::wstring& user,
                        const std::wstring& password) = &ConnectShare;

// A copy of a password that overwrites its characters when it goes, so that
// freed memory does not keep it.
template <class Text>
struct Wiped {
  explicit Wiped(Text text) : text(std::move(text)) {}
  ~Wiped() { SecureZeroMemory(text.data(), text.size() * sizeof text[0]); }
  Wiped(const Wiped&) = delete;
  Wiped& operator=(const Wiped&) = delete;
  Text text;
};

}  // namespace sharepaths
