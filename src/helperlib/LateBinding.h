// Late-bound calls as script hosts and macro languages make them. They pass
// a variable as a reference to a variant and a number in whatever type their
// language keeps it (JScript writes 0x80000002 as a double), where the type
// library's own Invoke takes only the declared types. Each argument is
// brought to its declared type, the call goes through that Invoke, and the
// results go back into the callers' variables.
#pragma once
#include <windows.h>
#include <oaidl.h>

// IDispatch::Invoke of the object that the dual interface's type information
// describes. A refused argument answers DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW with its index in rgvarg in argError.
HRESULT InvokeLateBound(ITypeInfo& dispatch, void* object, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept;
