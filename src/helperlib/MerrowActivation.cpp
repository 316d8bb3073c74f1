#include "MerrowActivation.h"

#include <objbase.h>

#include <string>

#include "../basic/Err.h"
#include "../basic/SystemLibraries.h"
#include "../basic/Text.h"
#include "Merrow32.h"

namespace {

std::wstring SystemText(HRESULT hr) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, DWORD(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", n);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return basic::FromAnsi(message);
}

}  // namespace

ComApartment::ComApartment() : entered_(SUCCEEDED(basic::Ole32().CoInitialize(nullptr))) {}

ComApartment::~ComApartment() {
  if (entered_) basic::Ole32().CoUninitialize();
}

basic::ComPtr<IUnknown> CreateMerrowClass() {
  basic::ComPtr<IUnknown> object;
  const HRESULT hr = basic::Ole32().CoCreateInstance(CLSID_MerrowClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                     reinterpret_cast<void**>(object.put()));
  if (FAILED(hr)) throw basic::Error(int32_t(hr), SystemText(hr));
  return object;
}
