// Registers the stand-in network provider in the Wine prefix it runs in, or
// removes it again:
//   netprovider-setup register NETWORK-FILE
//   netprovider-setup unregister
// Registration names one provider of the router for each provider of the
// file (service keys KorvellNet1, KorvellNet2, ..., after the providers that
// are in the order already; the provider DLL is the KorvellNet.dll beside
// this program), leaves the file's path for the provider under the service
// key KorvellNet, and makes the folders of the shares that anyone can open.
// Removal takes all of it away, empty folders included, and ends the
// provider's connections with the folders they made. Exit codes: 0 done,
// 1 usage, 2 the file cannot be read or is not a valid description, 3 the
// registry or a folder could not be written.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Connections.h"
#include "Network.h"

using namespace netprovider;

namespace {

constexpr const wchar_t* kServices = L"System\\CurrentControlSet\\Services";
constexpr const wchar_t* kServicePrefix = L"KorvellNet";
constexpr const wchar_t* kProvidersKey = L"System\\CurrentControlSet\\Control\\NetworkProvider";
constexpr const wchar_t* kOrderKey = L"System\\CurrentControlSet\\Control\\NetworkProvider\\Order";
constexpr const wchar_t* kOrderValue = L"ProviderOrder";

class SetupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::wstring Wide(const char* text) {
  std::wstring out(strlen(text), L'\0');
  out.resize(size_t(MultiByteToWideChar(CP_ACP, 0, text, int(out.size()), out.data(), int(out.size()))));
  return out;
}

std::string Narrow(const std::wstring& text) {
  std::string out(text.size() * 4, '\0');
  out.resize(size_t(
      WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), int(out.size()), nullptr, nullptr)));
  return out;
}

std::wstring ThisFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.rfind(L'\\'));
}

std::wstring GetText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[4096] = L"";
  DWORD size = sizeof text;
  RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, value.c_str(),
                      DWORD((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw SetupError("cannot write the registry");
}

std::vector<std::wstring> OtherProviders() {
  std::vector<std::wstring> others;
  const std::wstring order = GetText(kOrderKey, kOrderValue);
  for (size_t start = 0; start < order.size();) {
    const size_t comma = std::min(order.find(L',', start), order.size());
    const std::wstring name = order.substr(start, comma - start);
    if (!name.empty() && !name.starts_with(kServicePrefix)) others.push_back(name);
    start = comma + 1;
  }
  return others;
}

void WriteOrder(const std::vector<std::wstring>& services) {
  std::wstring order;
  for (const auto& s : services) order += (order.empty() ? L"" : L",") + s;
  SetText(kOrderKey, kOrderValue, order);
}

void DeleteIfEmpty(const wchar_t* path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD subkeys = 1, values = 1;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
}

void RemoveFromOrder() {
  const auto others = OtherProviders();
  if (!others.empty()) return WriteOrder(others);
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kOrderKey, kOrderValue);
  DeleteIfEmpty(kOrderKey);
  DeleteIfEmpty(kProvidersKey);
}

void RemoveServices() {
  HKEY services;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServices, 0, KEY_READ | KEY_WRITE, &services) != ERROR_SUCCESS) return;
  std::vector<std::wstring> ours;
  wchar_t name[256];
  for (DWORD i = 0; RegEnumKeyW(services, i, name, 256) == ERROR_SUCCESS; ++i)
    if (std::wstring_view(name).starts_with(kServicePrefix)) ours.push_back(name);
  for (const auto& service : ours) {
    RegDeleteTreeW(services, service.c_str());
    RegDeleteKeyW(services, service.c_str());
  }
  RegCloseKey(services);
}

// Wine keeps \\server\share as the folder dosdevices\unc\server\share of its
// prefix; a UNC folder can be made only once dosdevices\unc exists.
std::wstring UncRoot() {
  wchar_t prefix[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  std::wstring root = L"\\\\?\\unix" + std::wstring(prefix) + L"/dosdevices/unc";
  for (auto& c : root)
    if (c == L'/') c = L'\\';
  return root;
}

void MakeFolders(const Network& network) {
  CreateDirectoryW(UncRoot().c_str(), nullptr);
  std::vector<std::wstring> made;
  if (!netprovider::MakeFolders(network.Folders(), made))
    throw SetupError("cannot make the share folders in " + Narrow(UncRoot()));
}

// Folders that hold anything stay.
void RemoveFolders(const Network& network) {
  netprovider::RemoveFolders(WithParents(network.Folders()));
  RemoveDirectoryW(UncRoot().c_str());
}

// The folders that connections made, and the connections with them.
void Disconnect() {
  for (const auto& connection : ReadConnections()) {
    netprovider::RemoveFolders(connection.madeFolders);
    ForgetConnection(connection.remoteName);
  }
}

void Unregister() {
  Disconnect();
  try {
    RemoveFolders(ReadNetwork(GetText(kParametersKey, kNetworkFileValue)));
  } catch (const std::runtime_error&) {
    // the description is gone: its folders stay
  }
  RemoveFromOrder();
  RemoveServices();
}

void Register(const std::wstring& file) {
  wchar_t full[MAX_PATH];
  GetFullPathNameW(file.c_str(), MAX_PATH, full, nullptr);
  const Network network = ReadNetwork(full);
  Unregister();
  SetText(kParametersKey, kNetworkFileValue, full);
  auto order = OtherProviders();
  for (size_t i = 0; i < network.providers.size(); ++i) {
    const std::wstring service = kServicePrefix + std::to_wstring(i + 1);
    const std::wstring key = std::wstring(kServices) + L"\\" + service + L"\\NetworkProvider";
    SetText(key, L"ProviderPath", ThisFolder() + L"\\KorvellNet.dll");
    SetText(key, L"Name", network.providers[i].name);
    order.push_back(service);
  }
  WriteOrder(order);
  MakeFolders(network);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "register" && argc == 3) {
      try {
        Register(Wide(argv[2]));
      } catch (const SetupError&) {
        Unregister();  // nothing half done stays behind
        throw;
      }
    } else if (command == "unregister" && argc == 2) {
      Unregister();
    } else {
      fprintf(stderr, "usage: netprovider-setup register NETWORK-FILE | unregister\n");
      return 1;
    }
  } catch (const SetupError& e) {
    fprintf(stderr, "netprovider-setup: %s\n", e.what());
    return 3;
  } catch (const std::runtime_error& e) {  // the description
    fprintf(stderr, "netprovider-setup: %s\n", e.what());
    return 2;
  }
  return 0;
}
