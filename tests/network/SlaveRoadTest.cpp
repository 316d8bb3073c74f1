// The whole wizard on a slave machine, started as its own process and
// answered by the driver with the keyboard, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "basic/App.h"
#include "network/SelectorNetwork.h"
#include "support/NetProviderSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/EndToEnd.h"
#include "support/WizardDriver.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;

class SlaveRoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunQuietly("regsvr32 /s \"" + Bin() + "\\Merrow.dll\""), 0u); }
  static void TearDownTestSuite() { RunQuietly("regsvr32 /u /s \"" + Bin() + "\\Merrow.dll\""); }

  void SetUp() override {
    fs::remove(planner);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "Master", REG_SZ, "NO", 3);
  }
  void TearDown() override { fs::remove(planner); }

  // Starts the wizard and answers its notice; the selector it opens.
  HWND StartSelector() {
    HWND notice = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
    EXPECT_TRUE(notice);
    if (!notice) return nullptr;
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    HWND selector = driver::WaitForWindow(wizard.Id(), driver::IsNetworkSelector);
    EXPECT_TRUE(selector);
    return selector;
  }
  // Browses to \\MASTER\korvell, selects it and presses Confirm; the question.
  HWND ConfirmKorvellShare(HWND selector) {
    driver::ExpandNode(selector, 'O');  // Office Network
    driver::ExpandNode(selector, 'Q');  // QUILLON
    driver::ExpandNode(selector, 'M');  // \\MASTER
    driver::SelectNode(selector, 'k');  // \\MASTER\korvell
    EXPECT_TRUE(driver::ClickButton(selector, "&Confirm"));
    HWND question = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
    EXPECT_TRUE(question);
    return question;
  }

  RegistrySandbox machine{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon"};
  RegistrySandbox user{HKEY_CURRENT_USER, "SOFTWARE\\Quillon"};
  fs::path planner = fs::path(Bin()) / "korvell-started.txt";
  driver::Process wizard{"\"" + Bin() + "\\Tamsel32.exe\"", Bin()};
};

TEST_F(SlaveRoad, ConfirmingTheMastersShareRecordsItAndStartsThePlanner) {
  HWND selector = StartSelector();
  ASSERT_TRUE(selector);
  HWND question = ConfirmKorvellShare(selector);
  ASSERT_TRUE(question);
  EXPECT_EQ(driver::Text(question), "Korvell Ostrelle ");
  EXPECT_EQ(driver::MessageText(question), "Are You Sure That\r\n\\\\MASTER\\korvell\r\nIs The Korvell Master Directory?");
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  DWORD code = 99;
  ASSERT_TRUE(wizard.WaitForExit(20000, &code));
  EXPECT_EQ(code, 0u);

  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), std::to_string(Year()));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "\\\\MASTER\\korvell\\dats");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "year"), "<missing>");
  for (int i = 0; i < 200 && Contents(planner) == "<missing>"; ++i) Sleep(50);
  Sleep(100);
  EXPECT_NE(Contents(planner).find("program=" + Bin() + "\\korvell.exe"), std::string::npos) << Contents(planner);
}

TEST_F(SlaveRoad, AnsweringNoChangesNothingAndKeepsTheSelectorOpen) {
  HWND selector = StartSelector();
  ASSERT_TRUE(selector);
  HWND question = ConfirmKorvellShare(selector);
  ASSERT_TRUE(question);
  PostMessageA(question, WM_COMMAND, IDNO, 0);
  Sleep(500);
  EXPECT_TRUE(IsWindow(selector));
  EXPECT_FALSE(wizard.WaitForExit(0));
  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), "<missing>");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "<missing>");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");

  EXPECT_TRUE(driver::ClickButton(selector, "E&xit"));
  EXPECT_TRUE(wizard.WaitForExit(20000));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
  EXPECT_EQ(Contents(planner), "<missing>");
}

class UnsharedMaster : public SlaveRoad {
 protected:
  ServedNetwork network{kUnsharedNetwork};
};

TEST_F(UnsharedMaster, TheFirstServerWithoutThePlannersShareEndsTheWizard) {
  HWND selector = StartSelector();
  ASSERT_TRUE(selector);
  driver::ExpandNode(selector, 'O');
  driver::ExpandNode(selector, 'Q');
  driver::ExpandNode(selector, 'A');  // \\ACCOUNTS
  HWND message = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
  ASSERT_TRUE(message);
  EXPECT_EQ(driver::Text(message), "Korvell Ostrelle");
  EXPECT_EQ(driver::MessageText(message),
            "Setup Detects That The Korvell Directory On The Master Machine\r\n"
            "Has Not Been Shared. Make Sure It Is Shared With Full Access,\r\n"
            "And If It Is On A Windows NT Or 2000 Machine, Make Sure Its \r\n"
            "Permissions Are Set For Everyone Who Will Be Using Korvell.\r\n"
            "Once This Is Done, Run The Ostrelle From The Korvell Program Group.");
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(wizard.WaitForExit(20000));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
}

}  // namespace
