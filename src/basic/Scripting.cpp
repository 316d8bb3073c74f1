#include "Scripting.h"

#include <windows.h>
// after windows.h
#include <ole2.h>

#include "ComPtr.h"
#include "SystemLibraries.h"

namespace basic {

namespace {

struct Bstr {
  explicit Bstr(const std::wstring& text) : value(OleAut32().SysAllocStringLen(text.data(), UINT(text.size()))) {}
  ~Bstr() { OleAut32().SysFreeString(value); }
  BSTR value;
};

struct Variant {
  Variant() { OleAut32().VariantInit(&value); }
  ~Variant() { OleAut32().VariantClear(&value); }
  VARIANT value;
};

}  // namespace

bool FolderOpens(const std::wstring& path) {
  CLSID fileSystem;
  if (FAILED(Ole32().CLSIDFromProgID(L"Scripting.FileSystemObject", &fileSystem))) return false;
  ComPtr<IDispatch> object;
  if (FAILED(Ole32().CoCreateInstance(fileSystem, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(object.put()))))
    return false;
  wchar_t method[] = L"GetFolder";
  LPOLESTR name = method;
  DISPID getFolder = 0;
  if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &getFolder))) return false;
  Bstr folder(path);
  VARIANTARG argument;
  OleAut32().VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = folder.value;
  DISPPARAMS parameters{&argument, nullptr, 1, 0};
  Variant result;
  return SUCCEEDED(object->Invoke(getFolder, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                  &result.value, nullptr, nullptr));
}

}  // namespace basic
