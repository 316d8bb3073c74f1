#include "LateBinding.h"

#include <list>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "../basic/ComPtr.h"
#include "ComError.h"
#include "Var.h"

namespace {

// A parameter as the type library declares it.
struct Parameter {
  VARTYPE type;
  bool byRef;
};

// An argument that the call cannot take, at its index in rgvarg.
struct Refused {
  HRESULT hr;
  UINT index;
};

// --- The operation's parameters ---------------------------------------------

struct FuncDescRelease {
  ITypeInfo* info;
  void operator()(FUNCDESC* func) const { info->ReleaseFuncDesc(func); }
};

std::vector<Parameter> ParametersOf(const FUNCDESC& func) {
  std::vector<Parameter> parameters;
  for (SHORT i = 0; i < func.cParams; ++i) {
    const ELEMDESC& param = func.lprgelemdescParam[i];
    if (param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) continue;
    const TYPEDESC& type = param.tdesc;
    parameters.push_back(type.vt == VT_PTR ? Parameter{type.lptdesc->vt, true} : Parameter{type.vt, false});
  }
  return parameters;
}

// Read from the interface itself, whose descriptions are the ones declared;
// none for an identifier that names no operation.
std::optional<std::vector<Parameter>> Signature(ITypeInfo& dispatch, DISPID id) {
  HREFTYPE ref = 0;
  basic::ComPtr<ITypeInfo> vtable;
  if (FAILED(dispatch.GetRefTypeOfImplType(-1, &ref)) || FAILED(dispatch.GetRefTypeInfo(ref, vtable.put())))
    return std::nullopt;
  FUNCDESC* raw = nullptr;
  for (UINT i = 0; SUCCEEDED(vtable->GetFuncDesc(i, &raw)); ++i) {
    const std::unique_ptr<FUNCDESC, FuncDescRelease> func(raw, {vtable.get()});
    if (func->memid == id) return ParametersOf(*func);
  }
  return std::nullopt;
}

// The index in rgvarg of each parameter's argument: named ones come first,
// the positional ones follow in reverse order.
std::vector<UINT> ArgumentIndexes(const DISPPARAMS& params, size_t count) {
  constexpr UINT kNone = UINT(-1);
  std::vector<UINT> indexes(count, kNone);
  for (UINT i = 0; i < params.cArgs; ++i) {
    const DISPID position = i < params.cNamedArgs ? params.rgdispidNamedArgs[i] : DISPID(params.cArgs - 1 - i);
    if (position < 0 || size_t(position) >= count || indexes[position] != kNone) throw Refused{DISP_E_PARAMNOTFOUND, i};
    indexes[position] = i;
  }
  return indexes;
}

// --- Values -------------------------------------------------------------------

// A number beyond the signed range of a 32-bit parameter is taken by its bit
// pattern where it fits the unsigned one: JScript and PowerShell pass the
// predefined root keys so. A text of such digits stays an overflow.
HRESULT ChangeType(VARIANT& value, VARTYPE type, LCID lcid) {
  const HRESULT hr = VariantChangeTypeEx(&value, &value, lcid, VARIANT_ALPHABOOL, type);
  if (hr != DISP_E_OVERFLOW || type != VT_I4 || value.vt == VT_BSTR) return hr;
  if (FAILED(VariantChangeTypeEx(&value, &value, lcid, 0, VT_UI4))) return hr;
  value.vt = VT_I4;
  return S_OK;
}

bool Same(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  if (a.vt != VT_BSTR)
    return VarCmp(const_cast<VARIANT*>(&a), const_cast<VARIANT*>(&b), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
  return std::wstring_view(a.bstrVal, SysStringLen(a.bstrVal)) == std::wstring_view(b.bstrVal, SysStringLen(b.bstrVal));
}

// Whether a variable of the type holds the value exactly, as a number
// variable holds a text of its digits: it then receives it in that type.
bool HeldAs(VARTYPE type, const VARIANT& value, LCID lcid, Var& held) {
  Var back;
  return type != VT_EMPTY &&
         SUCCEEDED(VariantChangeTypeEx(&held, const_cast<VARIANT*>(&value), lcid, VARIANT_ALPHABOOL, type)) &&
         SUCCEEDED(VariantChangeTypeEx(&back, &held, lcid, VARIANT_ALPHABOOL, value.vt)) && Same(back, value);
}

// The caller's variable keeps its type where that holds the result; Empty
// holds nothing, and any other variable takes the result as it is.
void Store(VARIANT& variable, const VARIANT& result, LCID lcid) {
  Var stored;
  if (!HeldAs(variable.vt, result, lcid, stored) && FAILED(VariantCopy(&stored, const_cast<VARIANT*>(&result))))
    throw std::bad_alloc();
  VariantClear(&variable);
  variable = stored;
  stored.vt = VT_EMPTY;
}

// --- Arguments ----------------------------------------------------------------

// One argument brought to its parameter's declared type, and passed by
// reference where the parameter is, so that the operation can change it.
class Argument {
 public:
  Argument(VARIANT& given, UINT index, Parameter declared, LCID lcid);
  Argument(const Argument&) = delete;
  Argument& operator=(const Argument&) = delete;

  VARIANT Passed();
  // Into the caller's variable, when it was passed as a reference to a variant.
  void WriteBack(LCID lcid) const;

 private:
  VARIANT& given_;
  Parameter declared_;
  // A reference of the declared type itself is handed on as it is.
  bool asGiven_;
  Var value_;
};

Argument::Argument(VARIANT& given, UINT index, Parameter declared, LCID lcid)
    : given_(given), declared_(declared), asGiven_(declared.byRef && given.vt == (declared.type | VT_BYREF)) {
  const auto refuse = [index](HRESULT hr) { throw Refused{hr, index}; };
  const bool reference = given.vt & VT_BYREF;
  if (reference && !given.byref) refuse(DISP_E_TYPEMISMATCH);
  if (asGiven_) return;
  // A variable of another fixed type could not take the result back.
  if (reference && given.vt != (VT_BYREF | VT_VARIANT) && declared.type != VT_VARIANT &&
      VARTYPE(given.vt & ~VT_BYREF) != declared.type)
    refuse(DISP_E_TYPEMISMATCH);
  HRESULT hr = VariantCopyInd(&value_, &given);
  if (value_.vt == VT_ERROR && value_.scode == DISP_E_PARAMNOTFOUND) refuse(DISP_E_BADPARAMCOUNT);  // left out
  if (SUCCEEDED(hr) && declared.type != VT_VARIANT) hr = ChangeType(value_, declared.type, lcid);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) refuse(hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH);
}

VARIANT Argument::Passed() {
  if (asGiven_) return given_;
  if (!declared_.byRef) return value_;
  VARIANT passed{};
  passed.vt = declared_.type | VT_BYREF;
  // Every member of a variant's union starts where byref does.
  passed.byref = declared_.type == VT_VARIANT ? static_cast<void*>(&value_) : static_cast<void*>(&value_.byref);
  return passed;
}

void Argument::WriteBack(LCID lcid) const {
  if (declared_.byRef && !asGiven_ && given_.vt == (VT_BYREF | VT_VARIANT)) Store(*given_.pvarVal, value_, lcid);
}

}  // namespace

HRESULT InvokeLateBound(ITypeInfo& dispatch, void* object, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept {
  try {
    if (!params || (params->cArgs && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
      return E_INVALIDARG;
    const auto parameters = Signature(dispatch, id);
    if (!parameters || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    const size_t count = parameters->size();
    if (params->cArgs != count) return DISP_E_BADPARAMCOUNT;

    const std::vector<UINT> indexes = ArgumentIndexes(*params, count);
    std::list<Argument> arguments;  // the passed references point into them
    std::vector<VARIANT> passed(count);
    for (size_t i = 0; i < count; ++i) {
      arguments.emplace_back(params->rgvarg[indexes[i]], indexes[i], (*parameters)[i], lcid);
      passed[count - 1 - i] = arguments.back().Passed();
    }
    DISPPARAMS typed{passed.data(), nullptr, UINT(count), 0};
    const HRESULT hr = dispatch.Invoke(object, id, flags, &typed, result, exception, argError);
    if (SUCCEEDED(hr))
      for (const auto& argument : arguments) argument.WriteBack(lcid);
    return hr;
  } catch (const Refused& refused) {
    if (argError) *argError = refused.index;
    return refused.hr;
  } catch (...) {
    return ReportFailure(std::current_exception());
  }
}
