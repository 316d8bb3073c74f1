#include "MerrowClient.h"

#include "../../src/basic/Handles.h"
#include "MerrowActivation.h"
#include "support/Process.h"

namespace {

void Check(HRESULT hr) {
  if (FAILED(hr)) throw CallFailed{hr, {}, {}};
}

std::wstring TakeText(BSTR& s) {
  std::wstring text(s ? s : L"", SysStringLen(s));
  SysFreeString(s);
  s = nullptr;
  return text;
}

}  // namespace

std::string MerrowPath() {
  char self[MAX_PATH];
  const std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  return path.substr(0, path.find_last_of('\\') + 1) + "Merrow.dll";
}

DWORD Regsvr32(const std::string& options) {
  return driver::RunToEnd("regsvr32 " + options + " \"" + MerrowPath() + "\"", INFINITE);
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

Args::~Args() {
  for (auto& text : texts_) SysFreeString(text.value);
}

Args& Args::Ref(std::wstring& text) {
  texts_.push_back({&text, SysAllocStringLen(text.data(), UINT(text.size()))});
  return Add(VT_BSTR | VT_BYREF, [this](VARIANT& arg) { arg.pbstrVal = &texts_.back().value; });
}

Args& Args::Ref(LONG& number) {
  return Add(VT_I4 | VT_BYREF, [&](VARIANT& arg) { arg.plVal = &number; });
}

Args& Args::Ref(VARIANT& value) {
  return Add(VT_VARIANT | VT_BYREF, [&](VARIANT& arg) { arg.pvarVal = &value; });
}

Args& Args::Val(short number) {
  return Add(VT_I2, [&](VARIANT& arg) { arg.iVal = number; });
}

void Args::CopyBack() {
  for (auto& text : texts_) text.variable->assign(text.value ? text.value : L"", SysStringLen(text.value));
}

MerrowClient::MerrowClient(Binding binding) : binding_(binding) {
  Check(CreateMerrowClass()->QueryInterface(IID__MerrowClass, reinterpret_cast<void**>(object_.put())));
  if (binding != Binding::Early) return;
  // An early-bound client calls the slot that the registered library gives the operation.
  basic::ComPtr<ITypeLib> library;
  basic::ComPtr<ITypeInfo> dispatch;
  HREFTYPE vtable = 0;
  Check(LoadRegTypeLib(LIBID_Merrow32, 24, 0, LOCALE_NEUTRAL, library.put()));
  Check(library->GetTypeInfoOfGuid(IID__MerrowClass, dispatch.put()));
  Check(dispatch->GetRefTypeOfImplType(-1, &vtable));
  Check(dispatch->GetRefTypeInfo(vtable, vtable_.put()));
}

void MerrowClient::Call(DISPID id, Args& args) {
  std::vector<VARIANT> reversed(args.args_.rbegin(), args.args_.rend());
  DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argError = 0;
  const HRESULT hr = binding_ == Binding::Late ? object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                                 &params, &args.result, &exception, &argError)
                                               : vtable_->Invoke(object_.get(), id, DISPATCH_METHOD, &params,
                                                                 &args.result, &exception, &argError);
  args.CopyBack();
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    SysFreeString(exception.bstrHelpFile);
    throw CallFailed{exception.scode, TakeText(exception.bstrDescription), TakeText(exception.bstrSource)};
  }
  Check(hr);
}
