// The runtime under the error protocol: start-up of the error layer, the link
// to an external debugger window, and processor exceptions as run-time errors.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../basic/Handles.h"

extern int32_t vbwDumpStringMaxLength;
extern std::wstring vbwLogFile;
extern basic::UniqueFile vbwLogFileNum;
extern std::wstring vbwDumpFile;
extern basic::UniqueFile vbwDumpFileNum;
extern std::vector<std::wstring> vbwStackCalls;  // entries 1 to nStackCalls
extern int32_t nStackCalls;
extern int32_t DebuggerID;

// The error number that a processor exception becomes.
constexpr int32_t vbwExceptionError = 65535;

void vbwInitialize();

// Debugger link. The debugger window publishes its handle in the per-user
// settings below; message type 0 announces the program run, 4 declares a class.
inline constexpr const char* vbwDebuggerSettingsKey = "Software\\Trace Monitor\\Debugger";
void vbwSendDebugger(int32_t MessageType, const std::wstring& Text);
bool vbwIsInIDE();
void vbwDeclareInstances();

// Installs both handlers below.
void vbwHandleException();
// A fault of the program's own code becomes error 65535 in the procedure that
// had it; every other exception is left to the handlers after it.
LONG CALLBACK vbwTranslateException(EXCEPTION_POINTERS* ExceptionPointers);
// The process's last resort for an exception that nothing handled: reports it
// as error 65535 of the innermost guarded procedure running, then ends the
// program with the exception's code, whatever the user answers. Never returns.
LONG WINAPI vbwExceptionFilter(EXCEPTION_POINTERS* ExceptionPointers);
std::wstring vbwExceptionName(uint32_t Code);
