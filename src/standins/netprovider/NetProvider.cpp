// A network provider for the system's network provider router. It serves
// the network of the description file that the registration named, and
// reads that file again at every call, so that a test can change the
// network while the router keeps the provider loaded. Its connections are
// kept in the registry, where every process of the prefix sees them.
//
// npapi.h declares the texts of NPAddConnection3 as LPTSTR; the router
// passes UTF-16.
#define UNICODE
#include <windows.h>
// after windows.h
#include <winnetwk.h>
extern "C" {
#include <npapi.h>
}

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Connections.h"
#include "Network.h"

using namespace netprovider;

namespace {

// A net type of the stand-in's own; the router only records it.
constexpr DWORD kNetType = 0x00FA0000;

using Text = std::optional<std::wstring>;

// A resource as the router receives it.
struct Entry {
  DWORD scope;
  DWORD type;
  DWORD displayType;
  DWORD usage;
  Text localName;
  Text remoteName;
  Text comment;
  Text provider;

  DWORD Bytes() const {
    DWORD bytes = sizeof(NETRESOURCEW);
    for (const Text* text : {&localName, &remoteName, &comment, &provider})
      if (*text) bytes += DWORD(((*text)->size() + 1) * sizeof(wchar_t));
    return bytes;
  }
};

struct Enumeration {
  std::vector<Entry> entries;
  size_t next = 0;
  bool silent = false;  // answers success with no entries, every time
};

// The router asks every provider for its connections, and every provider of
// the file is this one library: the enumeration of connections that is open
// first lists them all, those opened while it is open (for the other
// providers) list nothing. Wine's router answers its caller with the last
// provider's answer, and drops what the others gave when that is "no more
// entries": so those that list nothing answer success with no entries.
std::atomic<const Enumeration*> connectionLister = nullptr;

std::wstring NetworkFile() {
  wchar_t path[MAX_PATH * 4] = L"";
  DWORD size = sizeof path;
  RegGetValueW(HKEY_LOCAL_MACHINE, kParametersKey, kNetworkFileValue, RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

bool OfType(DWORD resourceType, DWORD type) {
  return type == RESOURCETYPE_ANY || resourceType == RESOURCETYPE_ANY || resourceType == type;
}

Text Optional(const std::wstring& text) { return text.empty() ? Text() : text; }

// The resources that an open of the container lists (the usage asked for
// does not filter them), or the router's error code for the container.
DWORD ListChildren(const NETRESOURCEW* container, DWORD type, std::vector<Entry>& entries) {
  const Network network = ReadNetwork(NetworkFile());
  const Provider* provider = container && container->lpProvider ? network.FindProvider(container->lpProvider) : nullptr;
  if (!provider) return WN_BAD_NETNAME;
  const std::vector<Resource>* children = &provider->children;
  if (container->lpRemoteName) {  // the router leaves it out for the provider's own node
    const Resource* resource = FindByRemoteName(provider->children, container->lpRemoteName);
    if (!resource) return WN_BAD_NETNAME;
    if (!resource->IsContainer()) return WN_NOT_CONTAINER;
    if (resource->closed) return WN_ACCESS_DENIED;
    children = &resource->children;
  }
  for (const auto& c : *children)
    if (OfType(c.type, type) && !c.unlisted)
      entries.push_back(
          {RESOURCE_GLOBALNET, c.type, c.displayType, c.usage, {}, c.remoteName, Optional(c.comment), provider->name});
  return WN_SUCCESS;
}

// Wine's router copies the local name of a connection without looking
// whether there is one: it is always there, empty for none.
void ListConnections(DWORD type, std::vector<Entry>& entries) {
  if (!OfType(RESOURCETYPE_DISK, type)) return;
  for (const auto& c : ReadConnections())
    entries.push_back({RESOURCE_CONNECTED,
                       RESOURCETYPE_DISK,
                       RESOURCEDISPLAYTYPE_SHARE,
                       RESOURCEUSAGE_CONNECTABLE,
                       c.localName,
                       c.remoteName,
                       {},
                       c.provider});
}

DWORD OpenConnections(DWORD type, Enumeration& enumeration) {
  const Enumeration* none = nullptr;
  enumeration.silent = !connectionLister.compare_exchange_strong(none, &enumeration);
  if (!enumeration.silent) ListConnections(type, enumeration.entries);
  return WN_SUCCESS;
}

// Texts go to the end of the buffer, downwards; the pointer moves along.
wchar_t* PutText(const Text& text, wchar_t*& end) {
  if (!text) return nullptr;
  end -= text->size() + 1;
  text->copy(end, text->size());
  end[text->size()] = L'\0';
  return end;
}

// Why a protected share refuses the caller; an empty user name stands for
// the user who is logged on, whom the share knows.
DWORD Refusal(const Resource& share, const wchar_t* password, const wchar_t* user) {
  if (!share.IsProtected()) return WN_SUCCESS;
  if (user && *user && !share.user.empty() && !SameName(user, share.user)) return ERROR_LOGON_FAILURE;
  return share.password == (password ? password : L"") ? WN_SUCCESS : WN_BAD_PASSWORD;
}

// A protected share's folder is made when it is connected and goes again
// with the connection; the folders of the open shares are always there.
DWORD Connect(const Provider& provider, const Resource& share, const wchar_t* localName) {
  Connection connection{share.remoteName, localName ? localName : L"", provider.name, {}};
  for (const auto& earlier : ReadConnections())
    if (SameName(earlier.remoteName, share.remoteName)) connection.madeFolders = earlier.madeFolders;
  std::vector<std::wstring> made;
  const bool reachable = !share.IsProtected() || MakeFolders(share.Folders(), made);
  connection.madeFolders.insert(connection.madeFolders.end(), made.begin(), made.end());
  if (reachable && RecordConnection(connection)) return WN_SUCCESS;
  RemoveFolders(made);
  return WN_NET_ERROR;
}

}  // namespace

extern "C" DWORD APIENTRY NPGetCaps(DWORD ndex) {
  switch (ndex) {
    case WNNC_SPEC_VERSION:
      return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE:
      return kNetType;
    case WNNC_ENUMERATION:
      return WNNC_ENUM_GLOBAL | WNNC_ENUM_LOCAL;
    case WNNC_CONNECTION:
      return WNNC_CON_ADDCONNECTION3 | WNNC_CON_CANCELCONNECTION;
    default:
      return 0;
  }
}

extern "C" DWORD APIENTRY NPOpenEnum(DWORD dwScope, DWORD dwType, DWORD /*dwUsage*/, LPNETRESOURCEW lpNetResource,
                                     LPHANDLE lphEnum) {
  if (dwScope != RESOURCE_GLOBALNET && dwScope != RESOURCE_CONNECTED) return WN_NOT_SUPPORTED;
  try {
    auto enumeration = std::make_unique<Enumeration>();
    const DWORD result = dwScope == RESOURCE_CONNECTED ? OpenConnections(dwType, *enumeration)
                                                       : ListChildren(lpNetResource, dwType, enumeration->entries);
    if (result == WN_SUCCESS) *lphEnum = enumeration.release();
    return result;
  } catch (...) {  // no description that can be read
    return WN_NO_NETWORK;
  }
}

// Answers ERROR_MORE_DATA only when the next entry alone does not fit; the
// count is then left as the router passed it, or Wine's router would take
// the answer for a partial success. At the end the count is 0: the router
// adds up the counts of all providers for an enumeration of connections.
extern "C" DWORD APIENTRY NPEnumResource(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize) {
  auto& enumeration = *static_cast<Enumeration*>(hEnum);
  if (enumeration.silent || enumeration.next == enumeration.entries.size()) {
    *lpcCount = 0;
    return enumeration.silent ? WN_SUCCESS : WN_NO_MORE_ENTRIES;
  }
  auto* records = static_cast<NETRESOURCEW*>(lpBuffer);
  const DWORD capacity = *lpBufferSize & ~1u;  // texts are of two-byte characters
  auto* textEnd = reinterpret_cast<wchar_t*>(static_cast<char*>(lpBuffer) + capacity);
  DWORD used = 0, filled = 0;
  while (filled < *lpcCount && enumeration.next < enumeration.entries.size()) {
    const Entry& entry = enumeration.entries[enumeration.next];
    if (used + entry.Bytes() > capacity) break;
    used += entry.Bytes();
    records[filled++] = {entry.scope,
                         entry.type,
                         entry.displayType,
                         entry.usage,
                         PutText(entry.localName, textEnd),
                         PutText(entry.remoteName, textEnd),
                         PutText(entry.comment, textEnd),
                         PutText(entry.provider, textEnd)};
    ++enumeration.next;
  }
  if (filled == 0) {
    *lpBufferSize = enumeration.entries[enumeration.next].Bytes();
    return WN_MORE_DATA;
  }
  *lpcCount = filled;
  return WN_SUCCESS;
}

extern "C" DWORD APIENTRY NPCloseEnum(HANDLE hEnum) {
  const std::unique_ptr<Enumeration> enumeration(static_cast<Enumeration*>(hEnum));  // handed out by NPOpenEnum
  const Enumeration* self = enumeration.get();
  connectionLister.compare_exchange_strong(self, nullptr);
  return WN_SUCCESS;
}

// The router offers a connection to every provider in turn until one makes
// it, and reports the last one's answer: every provider of the file answers
// alike, for any share of the file.
extern "C" DWORD APIENTRY NPAddConnection3(HWND /*hwndOwner*/, LPNETRESOURCEW lpNetResource, LPWSTR lpPassword,
                                           LPWSTR lpUserName, DWORD /*dwFlags*/) {
  if (!lpNetResource || !lpNetResource->lpRemoteName) return WN_BAD_NETNAME;
  try {
    const Network network = ReadNetwork(NetworkFile());
    const Provider* provider = network.ProviderOf(lpNetResource->lpRemoteName);
    const Resource* share = provider ? FindByRemoteName(provider->children, lpNetResource->lpRemoteName) : nullptr;
    if (!share || !share->folder) return WN_BAD_NETNAME;
    if (share->closed) return WN_ACCESS_DENIED;
    if (const DWORD refusal = Refusal(*share, lpPassword, lpUserName)) return refusal;
    return Connect(*provider, *share, lpNetResource->lpLocalName);
  } catch (...) {  // no description that can be read
    return WN_NO_NETWORK;
  }
}

extern "C" DWORD APIENTRY NPCancelConnection(LPWSTR lpName, BOOL /*fForce*/) {
  try {
    for (const auto& c : ReadConnections())
      if (SameName(c.remoteName, lpName) || (!c.localName.empty() && SameName(c.localName, lpName))) {
        ForgetConnection(c.remoteName);
        RemoveFolders(c.madeFolders);
        return WN_SUCCESS;
      }
    return WN_NOT_CONNECTED;
  } catch (...) {
    return WN_NO_NETWORK;
  }
}
