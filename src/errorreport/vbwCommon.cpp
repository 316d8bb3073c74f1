#include "vbwCommon.h"

#include <array>
#include <atomic>
#include <cwchar>
#include <random>
#include <utility>

#include "../basic/App.h"
#include "../basic/Err.h"
#include "../basic/Runtime.h"
#include "../basic/Text.h"
#include "vbwErrHandler.h"
#include "vbwOptions.h"
#include "vbwTrap.h"

using namespace basic;

int32_t vbwDumpStringMaxLength = 0;
std::wstring vbwLogFile;
UniqueFile vbwLogFileNum;
std::wstring vbwDumpFile;
UniqueFile vbwDumpFileNum;
std::vector<std::wstring> vbwStackCalls;
int32_t nStackCalls = 0;
int32_t DebuggerID = 0;

namespace {

// What the debugger window answers when it accepts a program run.
constexpr LRESULT kDebuggerAccepts = -999999;
constexpr size_t kDebuggerTextLimit = 1024;
// A debugger window that does not answer within this time counts as absent.
constexpr UINT kDebuggerTimeoutMs = 5000;

std::wstring AppFile(const wchar_t* prefix, const wchar_t* extension) {
  return App::Path() + L"\\" + prefix + App::EXEName + L".exe" + extension;
}

// A per-user setting that the debugger window publishes; "0" when absent.
std::wstring DebuggerSetting(const char* name) {
  char buffer[64] = "0";
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, vbwDebuggerSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return L"0";
  return FromAnsi(buffer);
}

// The number at the start of a text, 0 when there is none.
long long Val(const std::wstring& text) { return std::wcstoll(text.c_str(), nullptr, 10); }

std::wstring StartText() {
  const std::wstring folder = vbwIsInIDE() ? std::wstring(L"IDE") : App::Path();
  return std::to_wstring(GetCurrentThreadId()) + L"|" + folder + L"\\" + App::EXEName + L".exe|" + App::CommandLine();
}

LRESULT SendCopyData(HWND window, WPARAM wParam, ULONG_PTR type, std::string& buffer, DWORD byteCount) {
  COPYDATASTRUCT record{type, byteCount, buffer.data()};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&record), SMTO_ABORTIFHUNG,
                           kDebuggerTimeoutMs, &answer))
    return 0;
  return LRESULT(answer);
}

int32_t RandomDebuggerID() {
  std::minstd_rand generator(GetTickCount());
  return int32_t(std::uniform_real_distribution<double>(0.0, 1.0)(generator) * 1073741824.0 + 0.5);
}

// Where a processor exception in the program's own code is turned into a
// run-time error: the faulting thread resumes here, with the faulting
// instruction as the return address, so that the error unwinds from the very
// procedure that was running.
thread_local uint32_t t_exceptionCode = 0;

[[noreturn, gnu::noinline, gnu::force_align_arg_pointer]] void RaiseProcessorException() {
  Raise(vbwExceptionError, vbwExceptionName(t_exceptionCode));
}

HMODULE ModuleAt(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(address), &module);
  return module;
}

// Only faults in the program's own code can be raised where they happened:
// system code has no unwind tables for the error to pass through, and handles
// its own exceptions. A stack overflow leaves no stack to raise an error on.
bool CanRaiseAt(const EXCEPTION_RECORD& record, const CONTEXT& context) {
  const uint32_t code = record.ExceptionCode;
  const bool fault = (code & 0xC0000000u) == 0xC0000000u || (code >= 0x80000001u && code <= 0x80000004u);
  if (!fault || code == EXCEPTION_STACK_OVERFLOW) return false;
  static const HMODULE self = ModuleAt(reinterpret_cast<const void*>(&vbwTranslateException));
  return ModuleAt(reinterpret_cast<const void*>(context.Eip)) == self;
}

const EXCEPTION_RECORD& Innermost(const EXCEPTION_RECORD* record) {
  while (record->ExceptionRecord) record = record->ExceptionRecord;
  return *record;
}

// A fault that nothing handled, and where it is reported.
struct UnhandledFault {
  uint32_t code;
  const wchar_t* module;
  const wchar_t* procedure;
  int32_t line;
};
UnhandledFault g_unhandled{};
std::atomic_flag g_reportingUnhandled;

// The report needs more stack than a stack overflow leaves, and must run on
// the thread that owns the program's windows, which the dialog disables and
// whose messages it processes: a fiber gives that thread a fresh stack.
constexpr SIZE_T kReportStackSize = 1024 * 1024;

// The fault cannot run again: its statement raises the error on the first
// run only, so that a retry or a skip ends the report like any other answer.
void ReportUnhandled() {
  vbwTrap trap(g_unhandled.module, g_unhandled.procedure);
  bool raised = false;
  trap(g_unhandled.line, [&] {
    if (!std::exchange(raised, true)) Raise(vbwExceptionError, vbwExceptionName(g_unhandled.code));
  });
}

void CALLBACK ReportUnhandledAndEnd(void*) {
  try {
    ReportUnhandled();
  } catch (...) {
    // Nothing more can be told; the program ends with the fault's code all the same.
  }
  End();
}

[[noreturn]] void Terminate(uint32_t code) {
  TerminateProcess(GetCurrentProcess(), code);
  ExitProcess(code);  // not reached: ending the own process does not return
}

struct ExceptionName {
  uint32_t code;
  const wchar_t* text;
};

constexpr std::array kExceptionNames{
    ExceptionName{0x80000001, L"Exception: Guard Page"},
    ExceptionName{0x80000002, L"Exception: Datatype Misalignment"},
    ExceptionName{0x80000003, L"Exception: Breakpoint"},
    ExceptionName{0x80000004, L"Exception: Single Step"},
    ExceptionName{0xC0000005, L"Exception: Access Violation"},
    ExceptionName{0xC0000006, L"Exception: In Page Error"},
    ExceptionName{0xC0000008, L"Exception: Invalid Handle"},
    ExceptionName{0xC000001D, L"Exception: Illegal Instruction"},
    ExceptionName{0xC0000025, L"Exception: Non Continuable Exception"},
    ExceptionName{0xC0000026, L"Exception: Invalid Disposition"},
    ExceptionName{0xC000008C, L"Exception: Array Bounds Exceeded"},
    ExceptionName{0xC000008D, L"Exception: Float Denormal Operand"},
    ExceptionName{0xC000008E, L"Exception: Float Divide By Zero"},
    ExceptionName{0xC000008F, L"Exception: Float Inexact Result"},
    ExceptionName{0xC0000090, L"Exception: Float Invalid Operation"},
    ExceptionName{0xC0000091, L"Exception: Float Overflow"},
    ExceptionName{0xC0000092, L"Exception: Float Stack Check"},
    ExceptionName{0xC0000093, L"Exception: Float Underflow"},
    ExceptionName{0xC0000094, L"Exception: Integer Divide By Zero"},
    ExceptionName{0xC0000095, L"Exception: Integer Overflow"},
    ExceptionName{0xC0000096, L"Exception: Priv Instruction"},
    ExceptionName{0xC00000FD, L"Exception: Stack Overflow"},
    ExceptionName{0xC000013A, L"Exception: Control C Exit"},
};

}  // namespace

void vbwInitialize() {
  static bool initialised = false;
  vbwTrap trap(L"vbwCommon", L"vbwInitialize");
  if (initialised) return;
  trap(1, [] { vbwSetOptions(); });
  trap(2, [] { vbwLogFile = AppFile(L"vbw", L".log"); });
  trap(3, [] { vbwDumpFile = AppFile(L"vbw", L".dmp"); });
  if (vbwDebugger) {
    trap(4, [] { vbwSendDebugger(0, StartText()); });
    trap(5, [] { vbwDeclareInstances(); });
  }
  if (vbwException) trap(6, [] { vbwHandleException(); });
  trap(7, [] { vbwDumpStringMaxLength = 128; });
  trap(8, [] { SetEscapedErrorHandler(&vbwReportEscaped); });
  trap(9, [] { initialised = true; });
}

void vbwSendDebugger(int32_t MessageType, const std::wstring& Text) {
  static HWND debuggerWindow = nullptr;
  vbwTrap trap(L"vbwCommon", L"vbwSendDebugger");
  HWND published = nullptr;
  trap(1, [&] { published = reinterpret_cast<HWND>(static_cast<intptr_t>(Val(DebuggerSetting("hWnd")))); });
  if (!trap.Leaving() && published != debuggerWindow) {
    trap(2, [&] { debuggerWindow = published; });
    if (MessageType != 0) {
      // A restarted debugger window must learn about this program run first.
      trap(3, [] { DebuggerID = 0; });
      trap(4, [] { vbwSendDebugger(0, StartText()); });
    }
  }
  if (trap.Leaving() || debuggerWindow == nullptr) return;

  std::string buffer(1, '\0');
  if (DebuggerID == 0) {
    bool accepted = false;
    trap(5, [&] { accepted = SendCopyData(debuggerWindow, 0, ULONG_PTR(-1), buffer, 1) == kDebuggerAccepts; });
    if (trap.Leaving()) return;
    if (!accepted) {
      DebuggerID = 0;
      return;
    }
    trap(6, [] { DebuggerID = int32_t(Val(DebuggerSetting("NewID"))); });
    if (DebuggerID == 0) trap(7, [] { DebuggerID = RandomDebuggerID(); });
  }
  trap(8, [&] {
    buffer = ToAnsi(std::wstring_view(Text).substr(0, kDebuggerTextLimit));
    const DWORD byteCount = DWORD(buffer.size() + 1);  // with the terminating zero
    SendCopyData(debuggerWindow, WPARAM(DebuggerID), ULONG_PTR(MessageType), buffer, byteCount);
  });
}

bool vbwIsInIDE() {
  vbwTrap trap(L"vbwCommon", L"vbwIsInIDE");
  bool inIDE = false;
  trap(1, [&] {
    const std::wstring path = UCase(App::ModulePath().substr(0, 255));
    if (path.size() < 8) return;
    const std::wstring tail = path.substr(path.size() - 8);
    inIDE = tail.starts_with(L"\\VB") && std::iswdigit(tail[3]) && tail.ends_with(L".EXE");
  });
  return inIDE;
}

void vbwDeclareInstances() {
  static constexpr std::array kDeclared{
      L"Class NetResource", L"Class NetResources", L"Form frmPassword", L"Form frmNWCheck",
      L"Form Continue",     L"Form frmProcessing", L"Form start_month", L"Class CRegistry",
  };
  vbwTrap trap(L"vbwCommon", L"vbwDeclareInstances");
  if (!vbwDebugger) return;
  for (const wchar_t* text : kDeclared) {
    if (!trap(1, [&] { vbwSendDebugger(4, text); })) return;
  }
}

void vbwHandleException() {
  vbwTrap trap(L"vbwCommon", L"vbwHandleException");
  // First in the chain, so that the fault is raised in the procedure that had
  // it before any other handler decides about it.
  trap(1, [] { AddVectoredExceptionHandler(1, &vbwTranslateException); });
  trap(2, [] { SetUnhandledExceptionFilter(&vbwExceptionFilter); });
}

LONG CALLBACK vbwTranslateException(EXCEPTION_POINTERS* ExceptionPointers) {
  const EXCEPTION_RECORD& record = *ExceptionPointers->ExceptionRecord;
  CONTEXT& context = *ExceptionPointers->ContextRecord;
  if (!CanRaiseAt(record, context)) return EXCEPTION_CONTINUE_SEARCH;
  t_exceptionCode = Innermost(&record).ExceptionCode;
  // Resume in RaiseProcessorException as if the faulting instruction had
  // called it; Eip + 1 keeps the return address inside that instruction.
  context.Esp -= sizeof(DWORD);
  *reinterpret_cast<DWORD*>(context.Esp) = context.Eip + 1;
  context.Eip = reinterpret_cast<DWORD>(&RaiseProcessorException);
  return EXCEPTION_CONTINUE_EXECUTION;
}

LONG WINAPI vbwExceptionFilter(EXCEPTION_POINTERS* ExceptionPointers) {
  // A fault while the first one is reported would only report itself again.
  if (g_reportingUnhandled.test_and_set()) Terminate(g_unhandled.code);
  const uint32_t code = Innermost(ExceptionPointers->ExceptionRecord).ExceptionCode;
  const vbwTrap* running = vbwTrap::Running();
  g_unhandled = running ? UnhandledFault{code, running->Module(), running->Procedure(), running->Line()}
                        : UnhandledFault{code, L"vbwCommon", L"vbwExceptionFilter", 0};
  // Set before the report: the dialog's Close button ends the program itself.
  SetEndCode(code);
  if (IsThreadAFiber() || ConvertThreadToFiber(nullptr)) {
    if (void* report = CreateFiber(kReportStackSize, &ReportUnhandledAndEnd, nullptr)) SwitchToFiber(report);
  }
  Terminate(code);
}

std::wstring vbwExceptionName(uint32_t Code) {
  for (const auto& e : kExceptionNames)
    if (e.code == Code) return e.text;
  return L"Unknown Exception";
}
