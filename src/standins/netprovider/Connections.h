// The connections that the stand-in provider has made, kept in the registry
// so that every process of the prefix sees them, and the folders under
// Wine's UNC tree that stand for shares.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace netprovider {

inline constexpr const wchar_t* kConnectionsKey =
    L"System\\CurrentControlSet\\Services\\KorvellNet\\Parameters\\Connections";

struct Connection {
  std::wstring remoteName;
  std::wstring localName;  // empty: none
  std::wstring provider;
  std::vector<std::wstring> madeFolders;  // each after its parent
};

std::vector<Connection> ReadConnections();
bool RecordConnection(const Connection& connection);
void ForgetConnection(const std::wstring& remoteName);

// The folders, given by UNC paths, each preceded by the folders above it
// (\\server, \\server\share, ...), every one once.
std::vector<std::wstring> WithParents(const std::vector<std::wstring>& folders);
// Makes the folders and the missing ones above them; the folders it made, in the order made, go to
// made, also when it fails part way.
bool MakeFolders(const std::vector<std::wstring>& folders, std::vector<std::wstring>& made);
// Removes them, last first; folders that hold anything stay.
void RemoveFolders(const std::vector<std::wstring>& folders);

}  // namespace netprovider
