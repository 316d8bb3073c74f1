// The library's entry points for the component runtime: the class factory of
// MerrowClass and the answer whether the library may be unloaded.
#include "Merrow.h"

#include <atomic>
#include <utility>

#include "../basic/Err.h"
#include "../basic/Text.h"
#include "ComError.h"
#include "Merrow32.h"
#include "MerrowClass.h"

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

// One factory for the whole library; while a client holds it, the library stays.
class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = riid == IID_IUnknown || riid == IID_IClassFactory ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    LockLibrary();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    UnlockLibrary();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    basic::ComPtr<ITypeLib> library;
    basic::ComPtr<ITypeInfo> typeInfo;
    HRESULT hr = LoadTypeLibrary(library);
    if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(IID__MerrowClass, typeInfo.put());
    return SUCCEEDED(hr) ? MerrowClass::Create(std::move(typeInfo), riid, object) : hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? LockLibrary() : UnlockLibrary();
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

std::string LibraryPath() {
  std::string path(MAX_PATH, '\0');
  DWORD n;
  while ((n = GetModuleFileNameA(g_module, path.data(), DWORD(path.size()))) == path.size()) path.resize(path.size() * 2);
  path.resize(n);
  return path;
}

HRESULT LoadTypeLibrary(basic::ComPtr<ITypeLib>& library) {
  return Guarded([&] {
    const std::wstring path = basic::FromAnsi(LibraryPath());
    const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) throw basic::Error(hr, L"The type library of Merrow.dll cannot be loaded");
  });
}

void LockLibrary() { ++g_locks; }
void UnlockLibrary() { --g_locks; }

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_MerrowClass) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }

}  // extern "C"
