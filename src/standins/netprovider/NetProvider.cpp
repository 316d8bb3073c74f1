// A network provider for the system's network provider router. It serves
// the network of the description file that the registration named, and
// reads that file again at every open, so that a test can change the
// network while the router keeps the provider loaded.
#include <windows.h>
// after windows.h
#include <winnetwk.h>
extern "C" {
#include <npapi.h>
}

#include <memory>
#include <string>
#include <vector>

#include "Network.h"

using namespace netprovider;

namespace {

// A net type of the stand-in's own; the router only records it.
constexpr DWORD kNetType = 0x00FA0000;

// A resource as the router receives it.
struct Entry {
  DWORD type;
  DWORD displayType;
  DWORD usage;
  std::wstring remoteName;
  std::wstring comment;
  std::wstring provider;

  DWORD Bytes() const {
    auto text = [](const std::wstring& t) { return t.empty() ? 0 : (t.size() + 1) * sizeof(wchar_t); };
    return DWORD(sizeof(NETRESOURCEW) + text(remoteName) + text(comment) + text(provider));
  }
};

struct Enumeration {
  std::vector<Entry> entries;
  size_t next = 0;
};

std::wstring NetworkFile() {
  wchar_t path[MAX_PATH * 4] = L"";
  DWORD size = sizeof path;
  RegGetValueW(HKEY_LOCAL_MACHINE, kParametersKey, kNetworkFileValue, RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

bool OfType(const Resource& resource, DWORD type) {
  return type == RESOURCETYPE_ANY || resource.type == RESOURCETYPE_ANY || resource.type == type;
}

// The resources that an open of the container lists (the usage asked for
// does not filter them), or the router's error code for the container.
DWORD ListChildren(const NETRESOURCEW* container, DWORD type, std::vector<Entry>& entries) {
  const Network network = ReadNetwork(NetworkFile());
  const Provider* provider = container && container->lpProvider ? network.FindProvider(container->lpProvider) : nullptr;
  if (!provider) return WN_BAD_NETNAME;
  const std::vector<Resource>* children = &provider->children;
  if (container->lpRemoteName) {  // the router leaves it out for the provider's own node
    const Resource* resource = FindResource(provider->children, container->lpRemoteName);
    if (!resource) return WN_BAD_NETNAME;
    if (!resource->IsContainer()) return WN_NOT_CONTAINER;
    if (resource->closed) return WN_ACCESS_DENIED;
    children = &resource->children;
  }
  for (const auto& c : *children)
    if (OfType(c, type)) entries.push_back({c.type, c.displayType, c.usage, c.remoteName, c.comment, provider->name});
  return WN_SUCCESS;
}

// Texts go to the end of the buffer, downwards; the pointer moves along.
wchar_t* PutText(const std::wstring& text, wchar_t*& end) {
  if (text.empty()) return nullptr;
  end -= text.size() + 1;
  text.copy(end, text.size());
  end[text.size()] = L'\0';
  return end;
}

}  // namespace

extern "C" DWORD APIENTRY NPGetCaps(DWORD ndex) {
  switch (ndex) {
    case WNNC_SPEC_VERSION:
      return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE:
      return kNetType;
    case WNNC_ENUMERATION:
      return WNNC_ENUM_GLOBAL;
    default:
      return 0;
  }
}

extern "C" DWORD APIENTRY NPOpenEnum(DWORD dwScope, DWORD dwType, DWORD /*dwUsage*/, LPNETRESOURCEW lpNetResource,
                                     LPHANDLE lphEnum) {
  if (dwScope != RESOURCE_GLOBALNET) return WN_NOT_SUPPORTED;
  try {
    auto enumeration = std::make_unique<Enumeration>();
    const DWORD result = ListChildren(lpNetResource, dwType, enumeration->entries);
    if (result == WN_SUCCESS) *lphEnum = enumeration.release();
    return result;
  } catch (...) {  // no description that can be read
    return WN_NO_NETWORK;
  }
}

// Answers ERROR_MORE_DATA only when the next entry alone does not fit; the
// count is then left as the router passed it, or Wine's router would take
// the answer for a partial success.
extern "C" DWORD APIENTRY NPEnumResource(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize) {
  auto& enumeration = *static_cast<Enumeration*>(hEnum);
  if (enumeration.next == enumeration.entries.size()) return WN_NO_MORE_ENTRIES;
  auto* records = static_cast<NETRESOURCEW*>(lpBuffer);
  const DWORD capacity = *lpBufferSize & ~1u;  // texts are of two-byte characters
  auto* textEnd = reinterpret_cast<wchar_t*>(static_cast<char*>(lpBuffer) + capacity);
  DWORD used = 0, filled = 0;
  while (filled < *lpcCount && enumeration.next < enumeration.entries.size()) {
    const Entry& entry = enumeration.entries[enumeration.next];
    if (used + entry.Bytes() > capacity) break;
    used += entry.Bytes();
    records[filled++] = {RESOURCE_GLOBALNET,
                         entry.type,
                         entry.displayType,
                         entry.usage,
                         nullptr,
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
  return WN_SUCCESS;
}
