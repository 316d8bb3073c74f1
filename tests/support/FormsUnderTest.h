// The wizard's forms as the in-process tests show them.
#pragma once
#include <cstdint>
#include <string>

#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/frmNWCheck.h"
#include "wizard/Global.h"

// The selector as the slave start-up opens it: nothing chosen, no share seen.
inline void ShowFreshSelector(frmNWCheck& form) {
  networkdriveunc.clear();
  UserPassword.clear();
  networkdriveprotected = InShareRoot = ObrinShared = false;
  form.Show();
}

// The error dialog as the handler shows it for an error of this number in
// Global.Main, before a report or after it.
inline void ShowErrorDialog(vbwFrmErrHandler& dialog, int32_t number, bool reported,
                            const std::wstring& description = L"Something failed") {
  vbwMessageString = vbwComposeMessage(number, description, L"Tamsel", L"Global", L"Main", 12);
  vbwfHasReported = reported;
  vbwRetCode = 0;
  dialog.Show();
}
