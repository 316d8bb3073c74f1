// A client of Merrow.dll for the tests: registration through regsvr32, and
// calls by dispatch identifier either late-bound (IDispatch::Invoke) or
// early-bound (the vtable slot that the registered type library names).
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <list>
#include <string>
#include <vector>

#include "../../src/basic/ComPtr.h"
#include "Merrow32.h"

// Full path of the Merrow.dll beside the test program.
std::string MerrowPath();
// Runs regsvr32 with the arguments and the library's path; answers its exit code.
DWORD Regsvr32(const std::string& options);
bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0);

// Dispatch identifiers of the contract.
enum MerrowDispId : DISPID {
  idGetWindowsDir = 0x60030046,
  idGetWindowsSysDir = 0x60030047,
  idCapitalise = 0x60030048,
  idReadIniValue = 0x6003004A,
  idWriteIniValue = 0x6003004B,
  idCreateNewKey = 0x6003004C,
  idQueryValue = 0x6003004D,
  idWriteValue = 0x60030050,
  idDeleteValue = 0x60030051,
  idDirExists = 0x60030053,
  idValidateText = 0x60030054,
  idSetColors = 0x60030055,
};

// A VARIANT that clears itself.
struct Var : VARIANT {
  Var() { VariantInit(this); }
  ~Var() { VariantClear(this); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
};

// A failed call as the client sees it.
struct CallFailed {
  HRESULT scode;
  std::wstring description;
  std::wstring source;
  int Number() const { return HRESULT_FACILITY(scode) == FACILITY_CONTROL ? HRESULT_CODE(scode) : scode; }
};

// The arguments of one call, in the operation's order, passed as a client
// passes its variables; strings are copied back into them after the call.
class Args {
 public:
  Args() = default;
  Args(const Args&) = delete;
  ~Args();
  Args& Ref(std::wstring& text);
  Args& Ref(LONG& number);
  Args& Ref(VARIANT& value);
  Args& Val(short number);

  Var result;

 private:
  friend class MerrowClient;
  struct Text {
    std::wstring* variable;
    BSTR value;
  };
  void CopyBack();
  // Adds an argument of the type given, whose value the setter fills in.
  template <class Set>
  Args& Add(VARTYPE type, Set set) {
    VARIANT arg{};
    arg.vt = type;
    set(arg);
    args_.push_back(arg);
    return *this;
  }
  std::vector<VARIANT> args_;
  std::list<Text> texts_;
};

enum class Binding { Early, Late };

class MerrowClient {
 public:
  explicit MerrowClient(Binding binding);
  // Throws CallFailed when the call fails.
  void Call(DISPID id, Args& args);
  _MerrowClass* Object() const { return object_.get(); }

 private:
  Binding binding_;
  basic::ComPtr<_MerrowClass> object_;
  basic::ComPtr<ITypeInfo> vtable_;
};
