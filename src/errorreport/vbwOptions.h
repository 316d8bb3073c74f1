// The options of the error layer, fixed at start-up by vbwSetOptions.
#pragma once
#include <string>

extern bool vbwException;
extern bool vbwTraceProc;
extern bool vbwTraceParameters;
extern bool vbwTraceLine;
extern bool vbwDebugPrint;
extern bool vbwLog;
extern bool vbwDebugger;
extern bool vbwInstanceCount;
extern std::wstring vbwEmailRecipientName;
extern std::wstring vbwEmailRecipientAdress;

void vbwSetOptions();
