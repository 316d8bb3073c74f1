// The whole wizard on a slave machine, started as its own process and
// answered by the driver with the keyboard, as a user would.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <winnetwk.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "basic/App.h"
#include "network/SelectorNetwork.h"
#include "support/NetProviderSandbox.h"
#include "support/EndToEnd.h"
#include "support/WizardDriver.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;

// The office of demo/office-network-unlisted.txt, with the providers that
// the test program registered: browsing lists no server, and the master's
// share opens only once it is connected with its password.
constexpr const char* kUnlistedNetwork =
    "provider Office Network\n"
    "  server MASTER | unlisted\n"
    "    share KORVELL | password holiday | dats\n"
    "    share Users\n"
    "provider Lab Network\n";
constexpr const char* kTypedShare = "\\\\MASTER\\KORVELL";

// Moves a folder out of the way while it lives, and back afterwards.
class FolderAside {
 public:
  explicit FolderAside(std::string folder) : folder_(std::move(folder)), aside_(folder_ + "-aside") {
    EXPECT_TRUE(MoveFileA(folder_.c_str(), aside_.c_str())) << folder_ << ": " << GetLastError();
  }
  ~FolderAside() { EXPECT_TRUE(MoveFileA(aside_.c_str(), folder_.c_str())) << folder_ << ": " << GetLastError(); }
  FolderAside(const FolderAside&) = delete;
  FolderAside& operator=(const FolderAside&) = delete;

 private:
  std::string folder_;
  std::string aside_;
};

// Ends this prefix's connection to a share when it goes, whoever made it.
struct ConnectionEnd {
  const char* share;
  ~ConnectionEnd() { WNetCancelConnection2A(share, 0, TRUE); }
};

class SlaveRoad : public WizardRoad {
 protected:
  void SetUp() override {
    fs::remove(planner);
    SetMachine("Master", "NO");
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
    EXPECT_TRUE(driver::ExpandNode(selector, 'O'));  // Office Network
    EXPECT_TRUE(driver::ExpandNode(selector, 'Q'));  // QUILLON
    EXPECT_TRUE(driver::ExpandNode(selector, 'M'));  // \\MASTER
    EXPECT_TRUE(driver::SelectNode(selector, 'k'));  // \\MASTER\korvell
    EXPECT_TRUE(driver::ClickButton(selector, "&Confirm"));
    HWND question = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
    EXPECT_TRUE(question);
    return question;
  }

  // The settings of a slave whose master's share is the one given, and the
  // planner started beside the wizard.
  void ExpectRecordedAndPlannerStarted(const std::string& share) {
    EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), std::to_string(Year()));
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), share + "\\dats");
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "year"), "<missing>");
    const std::string started = "program=" + Bin() + "\\korvell.exe";
    // The planner starts on its own time and writes its record as it goes.
    EXPECT_TRUE(driver::WaitUntil([&] { return Contents(planner).find(started) != std::string::npos; }, 10000))
        << Contents(planner);
  }

  fs::path planner = fs::path(Bin()) / "korvell-started.txt";
  driver::Process wizard{"\"" + Bin() + "\\Tamsel32.exe\"", Bin()};
};

TEST_F(SlaveRoad, ConfirmingTheMastersShareRecordsItAndStartsThePlanner) {
  HWND selector = StartSelector();
  ASSERT_TRUE(selector);
  HWND question = ConfirmKorvellShare(selector);
  ASSERT_TRUE(question);
  EXPECT_EQ(driver::Text(question), "Korvell Ostrelle ");
  EXPECT_EQ(driver::MessageText(question),
            "Are You Sure That\r\n\\\\MASTER\\korvell\r\nIs The Korvell Master Directory?");
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(ExitCode(wizard), 0u);

  ExpectRecordedAndPlannerStarted("\\\\MASTER\\korvell");
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
  EXPECT_EQ(ExitCode(wizard), 0u) << "leaving by Exit before anything was written is no failure";
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
  EXPECT_TRUE(driver::ExpandNode(selector, 'O'));
  EXPECT_TRUE(driver::ExpandNode(selector, 'Q'));
  EXPECT_TRUE(driver::ExpandNode(selector, 'A'));  // \\ACCOUNTS
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

// Where browsing finds nothing: the master's share is typed, and opens with
// its password after a wrong one was refused.
class UnlistedMaster : public SlaveRoad {
 protected:
  // The registered office's open share \\MASTER\korvell would answer for the
  // typed name: folder names do not depend on case.
  FolderAside registeredShare{"\\\\MASTER\\korvell"};
  ServedNetwork network{kUnlistedNetwork};
  ConnectionEnd connection{kTypedShare};
};

TEST_F(UnlistedMaster, ATypedProtectedShareOpensWithItsPasswordAndIsRecorded) {
  HWND selector = StartSelector();
  ASSERT_TRUE(selector);
  EXPECT_TRUE(driver::ExpandNode(selector, 'O'));  // Office Network
  HWND tree = driver::FindChild(selector, "SysTreeView32");
  EXPECT_FALSE(TreeView_GetChild(tree, TreeView_GetSelection(tree))) << "browsing lists a server";

  HWND path = driver::FindByLabel(selector, "Or type the master folder", "Edit");
  ASSERT_TRUE(path);
  ASSERT_TRUE(driver::TypeText(path, kTypedShare)) << driver::BoxText(path);
  driver::PressKey(path, VK_RETURN);
  HWND selected = driver::FindChild(selector, "Static", "Selected Network Path:");
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::Text(selected).ends_with(kTypedShare); }))
      << driver::Text(selected);
  HWND password = driver::FindChild(selector, "Button", "&Password");
  HWND confirm = driver::FindChild(selector, "Button", "&Confirm");
  ASSERT_TRUE(driver::WaitForEnabled(password)) << "the share should be protected";
  EXPECT_FALSE(IsWindowEnabled(confirm));

  driver::Click(password);
  HWND prompt = driver::WaitForWindow(wizard.Id(), driver::IsPasswordPrompt);
  ASSERT_TRUE(prompt);
  HWND secret = driver::FindByLabel(prompt, "Password:", "Edit");
  ASSERT_TRUE(driver::TypeText(secret, "summer"));
  ASSERT_TRUE(driver::ClickButton(prompt, "OK"));
  HWND refusal = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(driver::Text(refusal), "Enter Network Password");
  const std::string why = driver::MessageText(refusal);
  EXPECT_TRUE(why.starts_with("Cannot connect to " + std::string(kTypedShare) + ":")) << why;
  EXPECT_NE(why.find("Invalid password."), std::string::npos) << why;
  PostMessageA(refusal, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(refusal); }));
  EXPECT_TRUE(IsWindowVisible(prompt)) << "the prompt asks again";
  EXPECT_FALSE(IsWindowEnabled(confirm));

  ASSERT_TRUE(driver::TypeText(secret, "holiday"));
  ASSERT_TRUE(driver::ClickButton(prompt, "OK"));
  EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(prompt); }));
  ASSERT_TRUE(driver::WaitForEnabled(confirm)) << "the connected share should be confirmable";

  driver::Click(confirm);
  HWND question = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
  ASSERT_TRUE(question);
  EXPECT_EQ(driver::MessageText(question),
            "Are You Sure That\r\n" + std::string(kTypedShare) + "\r\nIs The Korvell Master Directory?");
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(ExitCode(wizard), 0u);
  ExpectRecordedAndPlannerStarted(kTypedShare);
}

}  // namespace
