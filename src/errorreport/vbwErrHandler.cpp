#include "vbwErrHandler.h"

#include <windows.h>

#include "../basic/App.h"
#include "../basic/Runtime.h"
#include "../basic/Timer.h"

using namespace basic;

int32_t vbwRetCode = 0;
std::wstring vbwMessageString;
std::wstring vbwCircumstancesString;
std::wstring vbwErrorPath;
bool vbwfHasReported = false;
std::wstring vbwTurnOffTimersString;
ErrObject vbwSavedErr;

namespace {

constexpr int32_t kEnd = 3;
constexpr int32_t kReportRequest = 8;

// Until the error dialog is built, the message is shown in a plain message
// box and the program ends: the dialog, with its Report and Close buttons,
// plugs in here and leaves the user's choice in vbwRetCode.
void ShowMessageAndEnd() {
  MsgBox(vbwMessageString, MB_OK | MB_ICONERROR | MB_TOPMOST, App::Title);
  vbwRetCode = kEnd;
}

std::wstring TimerEntry(const Timer& timer) { return std::to_wstring(timer.Identity()) + L'\0'; }

}  // namespace

vbwErrorDialog vbwShowErrorDialog = &ShowMessageAndEnd;

std::wstring vbwComposeMessage(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                               const std::wstring& Module, const std::wstring& Procedure, int32_t Line) {
  const std::wstring crlf = L"\r\n";
  return L"An unexpected error has occurred in this application: " + crlf + crlf +  //
         L"Error " + std::to_wstring(Number) + crlf +                               //
         L"Description: " + Description + crlf +                                    //
         L"Project: " + Project + crlf +                                            //
         L"Module: " + Module + crlf +                                              //
         L"Procedure: " + Procedure + crlf +                                        //
         L"Line: " + std::to_wstring(Line) + crlf +                                 //
         L"Version: " + std::to_wstring(App::Major) + L"." + std::to_wstring(App::Minor) + L"." +
         std::to_wstring(App::Revision) + crlf;
}

int32_t vbwErrHandler(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                      const std::wstring& Module, const std::wstring& Procedure, int32_t Line) {
  vbwRetCode = 0;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  vbwSavedErr = Err();
  vbwTurnOffTimers();
  DoEvents();
  vbwMessageString = vbwComposeMessage(Number, Description, Project, Module, Procedure, Line);
  vbwfHasReported = false;
  vbwShowErrorDialog();
  if (vbwRetCode != kReportRequest && vbwRetCode != kEnd) vbwTurnOnTimers();
  return vbwRetCode;
}

void vbwTurnOffTimers() {
  vbwTurnOffTimersString = std::wstring(1, L'\0');
  for (Timer* timer : Timer::Loaded()) {
    if (!timer->Enabled()) continue;
    vbwTurnOffTimersString += TimerEntry(*timer);
    timer->SetEnabled(false);
  }
}

void vbwTurnOnTimers() {
  for (Timer* timer : Timer::Loaded()) {
    if (vbwTurnOffTimersString.find(L'\0' + TimerEntry(*timer)) != std::wstring::npos) timer->SetEnabled(true);
  }
}
