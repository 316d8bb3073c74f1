#include "vbwTrap.h"

#include <windows.h>

#include "../basic/App.h"
#include "../basic/Err.h"
#include "../basic/Runtime.h"
#include "vbwErrHandler.h"

namespace {
constexpr int32_t kEnd = 3;
constexpr int32_t kLeave = 6;
constexpr int32_t kReportRequest = 8;

// The handler's answer to an error; whatever goes wrong on the way to it
// (the dialog cannot be shown, the report fails) is told to the user in a
// plain message box, and the procedure leaves.
int32_t HandlerAnswer(const basic::Error& error, const wchar_t* module, const wchar_t* procedure, int32_t line) {
  try {
    const int32_t code =
        vbwErrHandler(error.Number(), error.Description(), basic::App::ProjectName, module, procedure, line);
    if (code != kReportRequest) return code;
    // After the report the failing statement is not run again: that could
    // repeat what it did before it failed, or meet the same error forever.
    return vbwReportRequested(basic::App::ProjectName) == kEnd ? kEnd : kLeave;
  } catch (...) {
    vbwLastResort(
        vbwComposeMessage(error.Number(), error.Description(), basic::App::ProjectName, module, procedure, line));
    return kLeave;
  }
}
}  // namespace

vbwTrap::Next vbwTrap::Answer(int32_t line, std::exception_ptr failure) {
  const basic::Error error = basic::CurrentError(std::move(failure));
  basic::SetErr(error);
  const int32_t code = HandlerAnswer(error, module_, procedure_, line);
  basic::Err() = {};  // the handler has consumed the error
  switch (code) {
    case 3:
      basic::EndFailed();
    case 4:
      return Next::Retry;
    case 5:
      return Next::Skip;
    case 7:
      if (IsDebuggerPresent()) DebugBreak();
      return Next::Retry;
    default:
      return Next::Leave;
  }
}
