#include "Connections.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace netprovider {

namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

Key OpenConnections() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kConnectionsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return Key(key);
}

// A connection is a value named by its remote name; its text list holds the
// local name, the provider and the folders made.
std::vector<std::wstring> Split(const std::wstring& list) {
  std::vector<std::wstring> texts;
  for (size_t start = 0; start < list.size(); start += texts.back().size() + 1)
    texts.emplace_back(list.c_str() + start);
  return texts;
}

std::wstring Join(const Connection& c) {
  std::wstring list;
  list += c.localName + L'\0';
  list += c.provider + L'\0';
  for (const auto& folder : c.madeFolders) list += folder + L'\0';
  return list;
}

Connection FromValue(const wchar_t* name, const std::wstring& list) {
  auto texts = Split(list);
  texts.resize(std::max<size_t>(texts.size(), 2));
  return {name, texts[0], texts[1], {texts.begin() + 2, texts.end()}};
}

}  // namespace

std::vector<Connection> ReadConnections() {
  std::vector<Connection> connections;
  const Key key = OpenConnections();
  if (!key) return connections;
  wchar_t name[1024];
  std::wstring data(32768, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = 1024, dataSize = DWORD(data.size() * sizeof(wchar_t)), type = 0;
    const LSTATUS status =
        RegEnumValueW(key.get(), i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) continue;
    connections.push_back(FromValue(name, data.substr(0, dataSize / sizeof(wchar_t))));
  }
  return connections;
}

bool RecordConnection(const Connection& connection) {
  const std::wstring list = Join(connection);
  return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kConnectionsKey, connection.remoteName.c_str(), REG_MULTI_SZ, list.c_str(),
                         DWORD((list.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void ForgetConnection(const std::wstring& remoteName) {
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kConnectionsKey, remoteName.c_str());
}

std::vector<std::wstring> WithParents(const std::vector<std::wstring>& folders) {
  std::vector<std::wstring> all;
  const auto add = [&all](std::wstring step) {
    if (std::ranges::find(all, step) == all.end()) all.push_back(std::move(step));
  };
  for (const auto& folder : folders) {
    for (size_t slash = folder.find(L'\\', 2); slash != std::wstring::npos; slash = folder.find(L'\\', slash + 1))
      add(folder.substr(0, slash));
    add(folder);
  }
  return all;
}

bool MakeFolders(const std::vector<std::wstring>& folders, std::vector<std::wstring>& made) {
  for (const auto& step : WithParents(folders)) {
    if (CreateDirectoryW(step.c_str(), nullptr))
      made.push_back(step);
    else if (GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return true;
}

void RemoveFolders(const std::vector<std::wstring>& folders) {
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryW(folder->c_str());
}

}  // namespace netprovider
