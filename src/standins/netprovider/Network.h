// The network that the stand-in provider serves, as its description file
// gives it (the format is described in demo/network-format.md).
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace netprovider {

// Where the registration leaves the description file's path for the provider.
inline constexpr const wchar_t* kParametersKey = L"System\\CurrentControlSet\\Services\\KorvellNet\\Parameters";
inline constexpr const wchar_t* kNetworkFileValue = L"NetworkFile";

struct Resource {
  std::wstring remoteName;
  std::wstring comment;  // empty: none
  DWORD type = 0;
  DWORD displayType = 0;
  DWORD usage = 0;
  bool closed = false;    // refuses to be enumerated; a share has no folder
  bool folder = false;    // a folder stands for it when it is not closed
  bool unlisted = false;  // its parent does not list it, yet it is there
  bool dats = false;      // its folder holds a folder "dats"
  std::wstring password;  // empty: open to everyone
  std::wstring user;      // empty: any user who knows the password
  std::vector<Resource> children;

  bool IsContainer() const { return usage & RESOURCEUSAGE_CONTAINER; }
  bool IsProtected() const { return !password.empty(); }
  // The UNC paths of its folder and of the folders in it, each after its
  // parent; none when no folder stands for it.
  std::vector<std::wstring> Folders() const;
};

struct Provider {
  std::wstring name;
  std::vector<Resource> children;
};

struct Network {
  std::vector<Provider> providers;

  const Provider* FindProvider(std::wstring_view name) const;
  // The provider that serves that remote name, or null.
  const Provider* ProviderOf(std::wstring_view remoteName) const;
  // UNC paths of the folders of the shares that anyone can open, each after
  // its parent. A protected share gets its folder when it is connected.
  std::vector<std::wstring> Folders() const;
};

// A line that the format does not allow; the message names the line.
class FormatError : public std::runtime_error {
 public:
  FormatError(int line, const std::string& problem);
};

Network ParseNetwork(std::wstring_view text);
// The file is UTF-8 text.
Network ReadNetwork(const std::wstring& path);

// Names of the network compare without regard to case.
bool SameName(std::wstring_view a, std::wstring_view b);

// The resource with that remote name at or below the given ones, compared
// without regard to case; null when there is none.
const Resource* FindByRemoteName(const std::vector<Resource>& resources, std::wstring_view remoteName);

}  // namespace netprovider
