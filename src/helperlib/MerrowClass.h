// MerrowClass: the product family's directory, INI-file, registry, text and
// colour utilities. It keeps no state between calls; each operation works
// only on its arguments and on the operating system.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "../basic/ComPtr.h"
#include "Merrow32.h"

class MerrowClass final : public _MerrowClass, public ISupportErrorInfo {
 public:
  // Hands out a new object through the interface asked for; its type
  // information serves the late-bound calls.
  static HRESULT Create(basic::ComPtr<ITypeInfo> typeInfo, REFIID riid, void** object);
  MerrowClass(const MerrowClass&) = delete;
  MerrowClass& operator=(const MerrowClass&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** typeInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // _MerrowClass
  HRESULT STDMETHODCALLTYPE GetWindowsDir(BSTR* windir, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE GetWindowsSysDir(BSTR* sysdir, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Capitalise(BSTR* OriginalText, BSTR* result) override;
  HRESULT STDMETHODCALLTYPE read_ini_value(BSTR* ini_application, BSTR* ini_parameter, BSTR* ini_value,
                                           BSTR* ini_filename, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE write_ini_value(BSTR* ini_application, BSTR* ini_parameter, BSTR* ini_value,
                                            BSTR* ini_filename, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE CreateNewKey(BSTR* sNewKeyName, LONG* lPredefinedKey, LONG* lRetVal,
                                         VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE QueryValue(BSTR* sKeyName, BSTR* sValueName, BSTR* ini_value, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE WriteValue(BSTR* sKeyName, BSTR* sValueName, LONG* lType, VARIANT* vValue,
                                       VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE delete_value(BSTR* sKeyName, BSTR* sValueName, LONG* lType, VARIANT* vValue,
                                         VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE DirExists(BSTR* Directory, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE ValidateText(short pKeyIn, BSTR* pValidateString, BSTR* pType, short* result) override;
  HRESULT STDMETHODCALLTYPE Set_Colors(VARIANT* result) override;

 private:
  // A registry value as the class reads it: nothing, a REG_DWORD or a REG_SZ.
  using RegValue = std::variant<std::monostate, int32_t, std::wstring>;

  explicit MerrowClass(basic::ComPtr<ITypeInfo> typeInfo);
  ~MerrowClass();

  static LONG ReadOpenKeyValue(HKEY key, const std::string& name, RegValue& value);
  static LONG WriteOpenKeyValue(HKEY key, BSTR& name, LONG type, const VARIANT& value);
  static LONG DeleteOpenKeyValue(HKEY key, BSTR& name, const VARIANT& value);
  static std::wstring Capitalised(std::wstring_view original);
  static std::wstring CapitaliseWord(std::wstring& word);

  std::atomic<ULONG> refs_{1};
  basic::ComPtr<ITypeInfo> typeInfo_;
};
