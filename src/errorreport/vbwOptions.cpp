#include "vbwOptions.h"

#include "vbwTrap.h"

// The support desk's address is set when the product is configured for an office.
#ifndef KORVELL_SUPPORT_ADDRESS
#define KORVELL_SUPPORT_ADDRESS L"support@korvell.example"
#endif

bool vbwException = false;
bool vbwTraceProc = false;
bool vbwTraceParameters = false;
bool vbwTraceLine = false;
bool vbwDebugPrint = false;
bool vbwLog = false;
bool vbwDebugger = false;
bool vbwInstanceCount = false;
std::wstring vbwEmailRecipientName;
std::wstring vbwEmailRecipientAdress;

void vbwSetOptions() {
  vbwTrap trap(L"vbwOptions", L"vbwSetOptions");
  trap(1, [] {
    vbwEmailRecipientName = L"Korvell";
    vbwEmailRecipientAdress = KORVELL_SUPPORT_ADDRESS;
    vbwException = true;
    vbwTraceProc = false;
    vbwTraceParameters = false;
    vbwTraceLine = false;
    vbwDebugPrint = false;
    vbwLog = false;
    vbwDebugger = false;
    vbwInstanceCount = false;
  });
}
