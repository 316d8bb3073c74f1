// Self-registration: the standard entries of an in-process server under
// HKEY_CLASSES_ROOT and the type library. Unregistering removes exactly
// these and succeeds when they are gone already.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "../basic/Err.h"
#include "../basic/Handles.h"
#include "../basic/Text.h"
#include "ComError.h"
#include "Merrow.h"
#include "Merrow32.h"

namespace {

constexpr const char* kProgId = "Merrow.MerrowClass";
constexpr WORD kLibraryMajor = 24;
constexpr WORD kLibraryMinor = 0;

std::string GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return basic::ToAnsi(text);
}

std::string ClassKey() { return "CLSID\\" + GuidText(CLSID_MerrowClass); }

struct Entry {
  std::string key;
  const char* name;  // null for the key's default value
  std::string data;
};

std::vector<Entry> Entries() {
  const std::string clsid = ClassKey();
  return {
      {clsid, nullptr, kProgId},
      {clsid + "\\InprocServer32", nullptr, LibraryPath()},
      {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {clsid + "\\ProgID", nullptr, kProgId},
      {clsid + "\\TypeLib", nullptr, GuidText(LIBID_Merrow32)},
      {clsid + "\\VERSION", nullptr, "24.0"},
      {kProgId, nullptr, kProgId},
      {std::string(kProgId) + "\\Clsid", nullptr, GuidText(CLSID_MerrowClass)},
  };
}

void Check(LONG code) {
  if (code != ERROR_SUCCESS) throw basic::Error(HRESULT_FROM_WIN32(code));
}

void Write(const Entry& entry) {
  HKEY created = nullptr;
  Check(RegCreateKeyExA(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &created, nullptr));
  const basic::UniqueKey key(created);
  Check(RegSetValueExA(key.get(), entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.data.c_str()),
                       DWORD(entry.data.size() + 1)));
}

void RemoveTree(const std::string& key) {
  const LONG code = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
  if (code != ERROR_FILE_NOT_FOUND) Check(code);
}

void RegisterLibrary() {
  basic::ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibrary(library);
  std::wstring path = basic::FromAnsi(LibraryPath());
  if (SUCCEEDED(hr)) hr = RegisterTypeLib(library.get(), path.data(), nullptr);
  if (FAILED(hr)) throw basic::Error(hr);
}

void UnregisterLibrary() {
  // An unregistered library answers E_INVALIDARG or TYPE_E_REGISTRYACCESS; it is gone either way.
  const HRESULT hr = UnRegisterTypeLib(LIBID_Merrow32, kLibraryMajor, kLibraryMinor, LANG_NEUTRAL, SYS_WIN32);
  if (FAILED(hr) && hr != E_INVALIDARG && hr != TYPE_E_REGISTRYACCESS) throw basic::Error(hr);
}

void Unregister() {
  UnregisterLibrary();
  RemoveTree(kProgId);
  RemoveTree(ClassKey());
}

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllRegisterServer() {
  const HRESULT hr = Guarded([] {
    for (const auto& entry : Entries()) Write(entry);
    RegisterLibrary();
  });
  if (FAILED(hr)) Guarded(Unregister);  // leave nothing half registered
  return hr;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() { return Guarded(Unregister); }

}  // extern "C"
