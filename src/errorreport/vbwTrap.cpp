#include "vbwTrap.h"

#include <windows.h>

#include "../basic/App.h"
#include "../basic/Err.h"
#include "../basic/Runtime.h"
#include "vbwErrHandler.h"

namespace {
constexpr int32_t kReportRequest = 8;
}

vbwTrap::Next vbwTrap::Answer(int32_t line, std::exception_ptr failure) {
  const basic::Error error = basic::CurrentError(std::move(failure));
  basic::SetErr(error);
  int32_t code =
      vbwErrHandler(error.Number(), error.Description(), basic::App::ProjectName, module_, procedure_, line);
  if (code == kReportRequest) code = vbwReportRequested(basic::App::ProjectName);
  basic::Err() = {};  // the handler has consumed the error
  switch (code) {
    case 3:
      basic::End();
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
