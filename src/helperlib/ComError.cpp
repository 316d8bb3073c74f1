#include "ComError.h"

#include <oleauto.h>

#include "../basic/ComPtr.h"
#include "../basic/Err.h"
#include "Merrow32.h"

namespace {

constexpr const wchar_t* kSource = L"Merrow.MerrowClass";

void SetThreadError(const basic::Error& error) {
  basic::ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.put()))) return;
  create->SetGUID(IID__MerrowClass);
  create->SetSource(const_cast<LPOLESTR>(kSource));
  create->SetDescription(const_cast<LPOLESTR>(error.Description().c_str()));
  basic::ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put()))))
    SetErrorInfo(0, info.get());
}

// Numbers of the language's own run-time errors travel in the control
// facility, where clients decode them; others are HRESULTs already.
HRESULT HResultOf(int number) {
  return number > 0 && number <= 0xFFFF ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number) : HRESULT(number);
}

}  // namespace

HRESULT ReportFailure(std::exception_ptr thrown) noexcept {
  try {
    const basic::Error error = basic::CurrentError(thrown);
    SetThreadError(error);
    return HResultOf(error.Number());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
