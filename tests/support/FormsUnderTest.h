// The wizard's forms as the in-process tests show them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/frmNWCheck.h"
#include "wizard/Global.h"
#include "wizard/start_month.h"

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

// The start month, shown over a data folder of the test's own.
class StartMonthShown : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / "korvell-layout-month";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    net_dir = folder.wstring();
    form.Show();
  }
  void TearDown() override {
    form.Unload();
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path folder;
  start_month form;
};
