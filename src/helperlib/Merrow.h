// The library module itself: its file, its type library and the count of
// what keeps it loaded (live objects, server locks, class factory references).
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "../basic/ComPtr.h"

std::string LibraryPath();  // full path of Merrow.dll, in the ANSI code page
HRESULT LoadTypeLibrary(basic::ComPtr<ITypeLib>& library);

void LockLibrary();
void UnlockLibrary();
