// The network selector with its real tree view, on the stand-in network.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "basic/Runtime.h"
#include "basic/Text.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "support/DialogAnswerer.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"

namespace {

constexpr const wchar_t* kMaster = L"\\\\MASTER";
constexpr const wchar_t* kKorvell = L"\\\\MASTER\\korvell";
constexpr const wchar_t* kPrivate = L"\\\\MASTER\\Private";

class Selector : public ::testing::Test {
 protected:
  void SetUp() override {
    networkdriveunc.clear();
    UserPassword.clear();
    networkdriveprotected = InShareRoot = ObrinShared = false;
    form.Show();
  }
  void TearDown() override { form.Unload(); }

  basic::TreeView& tree() { return form.tvwNetwork; }
  // Expands a node as the user does, with the keyboard.
  void Expand(const std::wstring& key) {
    tree().Select(key);
    SendMessageA(tree().hWnd(), WM_KEYDOWN, VK_ADD, 0);
    basic::DoEvents();
  }
  void ExpandMaster() {
    Expand(L"Office Network");
    Expand(L"QUILLON");
    Expand(kMaster);
  }
  std::vector<std::wstring> Texts(const std::wstring& key) {
    std::vector<std::wstring> texts;
    for (const auto& child : tree().ChildKeys(key)) texts.push_back(tree().Text(child));
    return texts;
  }
  bool Enabled(const wchar_t* control) { return form.Enabled(control); }
  void Repaint() {
    RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }

  frmNWCheck& form = frmNWCheck::Instance();
};

TEST_F(Selector, OpensOnEntireNetworkWithOneExpandableNodePerProvider) {
  EXPECT_EQ(driver::Text(form.hWnd()), "Select Korvell  Master Directory");
  EXPECT_EQ(tree().Text(L"_ROOT"), L"Entire Network");
  EXPECT_EQ(tree().Image(L"_ROOT"), L"root");
  EXPECT_EQ(tree().Tag(L"_ROOT"), L"Y");
  EXPECT_EQ(Texts(L"_ROOT"), (std::vector<std::wstring>{L"Office Network", L"Lab Network"}));
  for (const auto& provider : tree().ChildKeys(L"_ROOT")) {
    EXPECT_EQ(tree().Tag(provider), L"N");
    EXPECT_EQ(tree().Image(provider), L"network");
    EXPECT_EQ(tree().ChildKeys(provider), std::vector<std::wstring>{provider + L"_FAKE"});
  }
  EXPECT_EQ(form.Text(L"lblPath"), L"Selected Network Path: None");
  Repaint();
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));
  EXPECT_FALSE(Enabled(L"cmdPassword"));
}

TEST_F(Selector, ExpandingTheMasterSortsItsSharesAndFindsThePlannersShare) {
  ExpandMaster();
  EXPECT_EQ(tree().Tag(kMaster), L"Y");
  EXPECT_EQ(Texts(kMaster), (std::vector<std::wstring>{L"C$", L"korvell", L"Laser", L"Private", L"Users"}));
  EXPECT_EQ(tree().Image(L"\\\\MASTER\\Laser"), L"printer");
  EXPECT_EQ(tree().Image(L"\\\\MASTER\\C$"), L"adminshare");
  EXPECT_TRUE(InShareRoot);
  EXPECT_TRUE(ObrinShared);
  // The provider's children keep the order the network gives.
  Expand(L"Lab Network");
  EXPECT_EQ(Texts(L"Lab Network"), std::vector<std::wstring>{L"LAB"});
}

TEST_F(Selector, AnOpenShareExpandsToNothing) {
  ExpandMaster();
  Expand(kKorvell);
  EXPECT_EQ(tree().Tag(kKorvell), L"Y");
  EXPECT_TRUE(tree().ChildKeys(kKorvell).empty());
}

TEST_F(Selector, ClickingAShareRecordsItsPathAndEnablesConfirm) {
  ExpandMaster();
  form.tvwNetwork_NodeClick(kKorvell);
  EXPECT_EQ(networkdriveunc, kKorvell);
  EXPECT_FALSE(networkdriveprotected);
  EXPECT_EQ(form.Text(L"lblPath"), std::wstring(L"Selected Network Path: ") + kKorvell);
  EXPECT_TRUE(Enabled(L"cmdMapDrive"));
  EXPECT_FALSE(Enabled(L"cmdPassword"));
}

// The user's mouse: the pointer moves onto the node's text and clicks.
void ClickWithTheMouse(const basic::TreeView& tree, const std::wstring& key) {
  HTREEITEM item = TreeView_GetRoot(tree.hWnd());
  while (item && tree.KeyOf(item) != key) item = TreeView_GetNextVisible(tree.hWnd(), item);
  ASSERT_TRUE(item) << basic::ToAnsi(key) << " is not visible";
  RECT text{};
  ASSERT_TRUE(TreeView_GetItemRect(tree.hWnd(), item, &text, TRUE));
  POINT at{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
  ClientToScreen(tree.hWnd(), &at);
  SetCursorPos(at.x, at.y);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
}

int g_folderTests = 0;
bool CountedFolderTest(const std::wstring& path) {
  ++g_folderTests;
  return basic::FolderOpens(path);
}

TEST_F(Selector, EachClickOnANodeRunsItsClickOnceWhateverTheOrderOfTheTreesNotices) {
  ExpandMaster();
  const auto previous = std::exchange(frmNWCheck::FolderTest, &CountedFolderTest);
  SetForegroundWindow(form.hWnd());
  // Another share, the same one again (already selected), a protected one, and
  // a server, which is tested as no folder at all.
  for (const auto& [key, tests] : {std::pair{kKorvell, 1}, std::pair{kKorvell, 1}, std::pair{kPrivate, 1},
                                   std::pair{kMaster, 0}}) {
    g_folderTests = 0;
    networkdriveunc.clear();
    Sleep(GetDoubleClickTime() + 50);  // a click of its own, not the second half of a double click
    ClickWithTheMouse(tree(), key);
    for (DWORD start = GetTickCount(); networkdriveunc.empty() && GetTickCount() - start < 5000;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      basic::DoEvents();
    }
    basic::DoEvents();
    EXPECT_EQ(networkdriveunc, tests ? key : L"None") << basic::ToAnsi(key);
    EXPECT_EQ(g_folderTests, tests) << basic::ToAnsi(key);
  }
  frmNWCheck::FolderTest = previous;
}

TEST_F(Selector, ClickingAPrinterServerOrDomainSelectsNoPath) {
  ExpandMaster();
  for (const wchar_t* key : {L"\\\\MASTER\\Laser", kMaster, L"QUILLON"}) {
    form.tvwNetwork_NodeClick(kKorvell);
    form.tvwNetwork_NodeClick(key);
    EXPECT_EQ(form.Text(L"lblPath"), L"Selected Network Path: None");
    EXPECT_FALSE(Enabled(L"cmdMapDrive"));
    EXPECT_FALSE(Enabled(L"cmdPassword"));
  }
}

TEST_F(Selector, AProtectedShareNeedsAPasswordBeforeItCanBeConfirmed) {
  ExpandMaster();
  UserPassword = L"old";
  form.tvwNetwork_NodeClick(kPrivate);
  EXPECT_TRUE(networkdriveprotected);
  EXPECT_EQ(UserPassword, L"");
  EXPECT_TRUE(Enabled(L"cmdPassword"));
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));

  // The password prompt: the resource is shown, OK with a password enables Confirm.
  frmPassword prompt;
  prompt.Show();
  EXPECT_EQ(prompt.Text(L"lblResource"), kPrivate);
  EXPECT_EQ(prompt.Text(L"txtPassword"), L"");
  EXPECT_TRUE(GetWindowLongA(prompt.Control(L"txtPassword"), GWL_STYLE) & ES_PASSWORD);
  prompt.SetText(L"txtPassword", L"secret");
  prompt.cmdOk_Click();
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_EQ(UserPassword, L"secret");
  EXPECT_TRUE(Enabled(L"cmdMapDrive"));

  // The protected state outlasts a click on a node that is no share, but
  // "None" can never be confirmed.
  form.tvwNetwork_NodeClick(kMaster);
  EXPECT_EQ(networkdriveunc, L"None");
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));
  Repaint();
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));
  EXPECT_TRUE(Enabled(L"cmdPassword"));
}

TEST_F(Selector, ThePasswordPromptKeepsThePasswordOnCancelAndAcceptsAnEmptyOne) {
  ExpandMaster();
  form.tvwNetwork_NodeClick(kPrivate);
  {
    frmPassword prompt;
    prompt.Show();
    prompt.SetText(L"txtPassword", L"typed");
    prompt.cmdCancel_Click();
    EXPECT_EQ(UserPassword, L"");
  }
  UserPassword = L"first";
  {
    frmPassword prompt;
    prompt.Show();
    EXPECT_EQ(prompt.Text(L"txtPassword"), L"first");
    prompt.SetText(L"txtPassword", L"");
    prompt.cmdOk_Click();
  }
  EXPECT_EQ(UserPassword, L"");
  Repaint();
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));
}

TEST_F(Selector, TheButtonRule) {
  struct Case {
    bool isProtected;
    const wchar_t* path;
    const wchar_t* password;
    SelectorButtons expected;
  };
  const Case cases[] = {
      {true, L"\\\\s\\x", L"", {true, false}},   {true, L"\\\\s\\x", L"pw", {true, true}},
      {true, L"None", L"pw", {true, false}},   {true, L"", L"pw", {true, false}},
      {false, L"\\\\s\\x", L"", {false, true}}, {false, L"None", L"pw", {false, false}},
      {false, L"", L"", {false, false}},
  };
  for (const auto& c : cases) {
    const SelectorButtons b = ButtonRule(c.isProtected, c.path, c.password);
    EXPECT_EQ(b.password, c.expected.password) << c.path;
    EXPECT_EQ(b.confirm, c.expected.confirm) << c.path;
  }
  EXPECT_TRUE(IsKorvellShare(L"\\\\m\\KorVell"));
  EXPECT_TRUE(IsKorvellShare(L"\\\\m\\OldKorvell"));
  EXPECT_FALSE(IsKorvellShare(L"\\\\m\\Korvell2"));
  EXPECT_FALSE(IsKorvellShare(L"vell"));
}

TEST_F(Selector, TheTreeFillsTheWindowWhenItIsResized) {
  SetWindowPos(form.hWnd(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  RECT client, tree;
  GetClientRect(form.hWnd(), &client);
  GetWindowRect(this->tree().hWnd(), &tree);
  EXPECT_EQ(tree.right - tree.left, client.right);
}

TEST_F(Selector, AServerWithTenThousandSharesExpandsWhole) {
  ObrinShared = true;  // as after the master's shares were listed
  Expand(L"Lab Network");
  Expand(L"LAB");
  Expand(L"\\\\BIG");
  const auto shares = tree().ChildKeys(L"\\\\BIG");
  ASSERT_EQ(shares.size(), 10000u);
  EXPECT_EQ(tree().Text(shares.front()), L"SHARE00001");
  EXPECT_EQ(tree().Text(shares.back()), L"SHARE10000");
}

}  // namespace
