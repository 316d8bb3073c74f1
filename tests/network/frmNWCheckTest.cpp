// The network selector with its real tree view, on the stand-in network.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <winnetwk.h>

#include <algorithm>

#include "basic/Handles.h"
#include "basic/Runtime.h"
#include "basic/Text.h"
#include "network/MappedDrives.h"
#include "network/SharePaths.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "support/DialogAnswerer.h"
#include "support/EndToEnd.h"
#include "support/FormsUnderTest.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/resource.h"

namespace {

constexpr const wchar_t* kMaster = L"\\\\MASTER";
constexpr const wchar_t* kKorvell = L"\\\\MASTER\\korvell";
constexpr const wchar_t* kPrivate = L"\\\\MASTER\\Private";
constexpr const wchar_t* kUsers = L"\\\\MASTER\\Users";  // open, but holds no data folder

class Selector : public ::testing::Test {
 protected:
  void SetUp() override { ShowFreshSelector(form); }
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
  // A node as one text: its text, image and tag ("Y" once its children are
  // listed), then its children's keys.
  std::wstring Node(const std::wstring& key) {
    std::wstring node = tree().Text(key) + L", " + tree().Image(key) + L", " + tree().Tag(key);
    for (const auto& child : tree().ChildKeys(key)) node += L", " + child;
    return node;
  }
  std::vector<std::wstring> Texts(const std::wstring& key) {
    std::vector<std::wstring> texts;
    for (const auto& child : tree().ChildKeys(key)) texts.push_back(tree().Text(child));
    return texts;
  }
  bool Enabled(const wchar_t* control) { return form.Enabled(control); }
  void Repaint() { RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
  HWND PathBox() { return form.Control(L"txtPath"); }
  // The user types a path in the box and presses Enter.
  void TypeAndPressEnter(const std::wstring& text) {
    SetFocus(PathBox());
    form.SetText(L"txtPath", text);
    driver::PressKey(PathBox(), VK_RETURN);
    basic::DoEvents();
  }
  std::vector<std::wstring> TopKeys() {
    std::vector<std::wstring> keys;
    for (HTREEITEM item = TreeView_GetRoot(tree().hWnd()); item; item = TreeView_GetNextSibling(tree().hWnd(), item))
      keys.push_back(tree().KeyOf(item));
    return keys;
  }
  // What the selector shows and allows: the selected path's label, then the buttons enabled.
  std::string Shown() {
    std::string shown = Narrow(form.Text(L"lblPath"));
    for (const wchar_t* button : {L"cmdMapDrive", L"cmdPassword"})
      if (Enabled(button)) shown += ", " + Narrow(button);
    return shown;
  }
  // What the selector holds, shows and allows for the current selection.
  void ExpectSelected(const std::wstring& path, bool isProtected) {
    EXPECT_EQ(networkdriveunc, path);
    EXPECT_EQ(networkdriveprotected, isProtected) << Narrow(path);
    EXPECT_EQ(Shown(), "Selected Network Path: " + Narrow(path) + (isProtected ? ", cmdPassword" : ", cmdMapDrive"));
  }
  // The user's mouse, as a click of its own, not the second half of a double
  // click: the pointer moves onto the node's text and clicks; then the
  // selector's answer is waited for.
  void ClickWithTheMouse(const std::wstring& key) {
    SetForegroundWindow(form.hWnd());
    Sleep(GetDoubleClickTime() + 50);
    HTREEITEM item = TreeView_GetRoot(tree().hWnd());
    while (item && tree().KeyOf(item) != key) item = TreeView_GetNextVisible(tree().hWnd(), item);
    ASSERT_TRUE(item) << Narrow(key) << " is not visible";
    RECT text{};
    ASSERT_TRUE(TreeView_GetItemRect(tree().hWnd(), item, &text, TRUE));
    POINT at{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
    ClientToScreen(tree().hWnd(), &at);
    SetCursorPos(at.x, at.y);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    for (DWORD start = GetTickCount(); networkdriveunc.empty() && GetTickCount() - start < 5000;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      basic::DoEvents();
    }
    basic::DoEvents();
  }

  frmNWCheck& form = frmNWCheck::Instance();
};

TEST_F(Selector, OpensOnEntireNetworkWithOneExpandableNodePerProvider) {
  EXPECT_EQ(driver::Text(form.hWnd()), "Select Korvell  Master Directory");
  EXPECT_EQ(Node(L"_ROOT"), L"Entire Network, root, Y, Office Network, Lab Network");
  EXPECT_EQ(Texts(L"_ROOT"), (std::vector<std::wstring>{L"Office Network", L"Lab Network"}));
  EXPECT_EQ(TopKeys(), (std::vector<std::wstring>{L"_ROOT", L"_CONNECTED"}));
  EXPECT_EQ(Node(L"_CONNECTED"), L"Connected Network Folders, network, Y") << "this user is connected to nothing yet";
  for (const auto& provider : tree().ChildKeys(L"_ROOT"))
    EXPECT_EQ(Node(provider), provider + L", network, N, " + provider + L"_FAKE");
  Repaint();
  EXPECT_EQ(Shown(), "Selected Network Path: None");
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

// A sorted parent's children stand in the order in which the control's own
// sort compares their texts (without case), whatever their punctuation,
// digits or accents, added in a batch or one by one.
TEST(TreeOrder, IsTheControlsOwnComparisonOfTheTexts) {
  const std::vector<std::wstring> texts{L"Users", L"users2",     L"C$",   L"korvell",       L"_backup", L"co-op",
                                        L"coop",  L"co op",      L"ab'c", L"abd",           L"10",      L"9",
                                        L"Zeta",  L"\u00c4rger", L"Arzt", L"\u00e9t\u00e9", L"ETA",     L"ewe"};
  std::vector<std::wstring> expected = texts;
  std::sort(expected.begin(), expected.end(),
            [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  for (const bool batch : {true, false}) {
    const basic::UniqueWindow window(CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                                     GetModuleHandleA(nullptr), nullptr));
    basic::TreeView tree;
    tree.Attach(window.get());
    const basic::UniqueGdi strip(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_NETWORK), IMAGE_BITMAP, 0, 0, 0));
    tree.SetImages(static_cast<HBITMAP>(strip.get()), {L"server"});
    tree.Add(L"", L"top", L"top", L"server");
    tree.SetSorted(L"top", true);
    if (batch) tree.BeginUpdate();
    for (size_t i = 0; i < texts.size(); ++i) tree.Add(L"top", L"key" + std::to_wstring(i), texts[i], L"server");
    if (batch) tree.EndUpdate();
    std::vector<std::wstring> shown;
    for (const std::wstring& child : tree.ChildKeys(L"top")) shown.push_back(tree.Text(child));
    EXPECT_EQ(shown, expected) << (batch ? "in a batch" : "one by one");
  }
}

TEST_F(Selector, AnOpenShareExpandsToNothing) {
  ExpandMaster();
  Expand(kKorvell);
  EXPECT_EQ(Node(kKorvell), L"korvell, share, Y");
}

TEST_F(Selector, ClickingAShareRecordsItsPathAndEnablesConfirm) {
  ExpandMaster();
  form.tvwNetwork_NodeClick(kKorvell);
  ExpectSelected(kKorvell, false);
}

int g_folderTests = 0;
bool CountedFolderTest(const std::wstring& path) {
  ++g_folderTests;
  return basic::FolderOpens(path);
}

TEST_F(Selector, EachClickOnANodeRunsItsClickOnceWhateverTheOrderOfTheTreesNotices) {
  ExpandMaster();
  const auto previous = std::exchange(sharepaths::FolderTest, &CountedFolderTest);
  // Another share, the same one again (already selected), a protected one, and
  // a server, which is tested as no folder at all.
  for (const auto& [key, tests] :
       {std::pair{kKorvell, 1}, std::pair{kKorvell, 1}, std::pair{kPrivate, 1}, std::pair{kMaster, 0}}) {
    g_folderTests = 0;
    networkdriveunc.clear();
    ClickWithTheMouse(key);
    EXPECT_EQ(networkdriveunc, tests ? key : L"None") << basic::ToAnsi(key);
    EXPECT_EQ(g_folderTests, tests) << basic::ToAnsi(key);
  }
  sharepaths::FolderTest = previous;
}

TEST_F(Selector, ClickingAPrinterServerOrDomainSelectsNoPath) {
  ExpandMaster();
  for (const wchar_t* key : {L"\\\\MASTER\\Laser", kMaster, L"QUILLON"}) {
    form.tvwNetwork_NodeClick(kKorvell);
    form.tvwNetwork_NodeClick(key);
    EXPECT_EQ(Shown(), "Selected Network Path: None") << Narrow(key);
  }
}

TEST_F(Selector, AProtectedShareNeedsAPasswordBeforeItCanBeConfirmed) {
  ExpandMaster();
  UserPassword = L"old";
  form.tvwNetwork_NodeClick(kPrivate);
  ExpectSelected(kPrivate, true);
  EXPECT_EQ(UserPassword, L"");

  // The password prompt: the resource is shown; a password that opens
  // nothing enables nothing.
  frmPassword prompt;
  prompt.Show();
  EXPECT_EQ(prompt.Text(L"lblResource"), kPrivate);
  EXPECT_EQ(prompt.Text(L"txtPassword"), L"");
  EXPECT_TRUE(GetWindowLongA(prompt.Control(L"txtPassword"), GWL_STYLE) & ES_PASSWORD);
  prompt.SetText(L"txtPassword", L"secret");
  {
    DialogAnswerer refusal(IDOK);
    prompt.cmdOk_Click();
  }
  EXPECT_TRUE(prompt.IsLoaded());
  EXPECT_EQ(UserPassword, L"");
  EXPECT_FALSE(Enabled(L"cmdMapDrive"));
  prompt.Unload();

  // The protected state outlasts a click on a node that is no share, but
  // "None" can never be confirmed.
  form.tvwNetwork_NodeClick(kMaster);
  EXPECT_EQ(networkdriveunc, L"None");
  EXPECT_EQ(Shown(), "Selected Network Path: None, cmdPassword");
  Repaint();
  EXPECT_EQ(Shown(), "Selected Network Path: None, cmdPassword");
}

TEST_F(Selector, ThePasswordPromptKeepsNoPasswordAndAnEmptyOneOpensNothing) {
  ExpandMaster();
  form.tvwNetwork_NodeClick(kPrivate);
  {
    frmPassword prompt;
    prompt.Show();
    prompt.SetText(L"txtPassword", L"typed");
    prompt.cmdCancel_Click();
    EXPECT_EQ(UserPassword, L"");
  }
  {
    frmPassword prompt;
    prompt.Show();
    EXPECT_EQ(prompt.Text(L"txtPassword"), L"");
    DialogAnswerer refusal(IDOK);
    prompt.cmdOk_Click();
    EXPECT_TRUE(prompt.IsLoaded());
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
      {true, L"\\\\s\\x", L"", {true, false}},  {true, L"\\\\s\\x", L"pw", {true, true}},
      {true, L"None", L"pw", {true, false}},    {true, L"", L"pw", {true, false}},
      {false, L"\\\\s\\x", L"", {false, true}}, {false, L"None", L"pw", {false, false}},
      {false, L"", L"", {false, false}},
  };
  for (const auto& c : cases) {
    const SelectorButtons b = ButtonRule(c.isProtected, c.path, c.password);
    EXPECT_EQ(std::pair(b.password, b.confirm), std::pair(c.expected.password, c.expected.confirm)) << c.path;
  }
}

TEST_F(Selector, TheTreeFillsTheWindowWhenItIsResized) {
  SetWindowPos(form.hWnd(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  RECT client, tree;
  GetClientRect(form.hWnd(), &client);
  GetWindowRect(this->tree().hWnd(), &tree);
  EXPECT_EQ(tree.right - tree.left, client.right);
}

struct MappedDrivesSeam {
  MappedDrivesSeam() : previous(std::exchange(sharepaths::DriveConnection, &MappedDrives)) {}
  ~MappedDrivesSeam() { sharepaths::DriveConnection = previous; }
  sharepaths::DriveResolver previous;
};

TEST_F(Selector, ATypedShareIsSelectedAsAClickOnItWouldBe) {
  MappedDrivesSeam drives;
  DialogAnswerer unexpected(IDOK, 1500);
  for (const wchar_t* typed : {kKorvell, L"\\\\MASTER\\korvell\\", L"K:"}) {
    form.tvwNetwork_NodeClick(L"_ROOT");
    TypeAndPressEnter(typed);
    ExpectSelected(kKorvell, false);
  }
  TypeAndPressEnter(L"\\\\master\\KORVELL");
  ExpectSelected(L"\\\\master\\KORVELL", false);
  EXPECT_FALSE(unexpected.Answered()) << unexpected.Text();
}

TEST_F(Selector, ATypedShareThatDoesNotOpenAsksForAPassword) {
  for (const wchar_t* typed : {kPrivate, L"\\\\MASTER\\Nowhere"}) {
    TypeAndPressEnter(kKorvell);
    UserPassword = L"given for another share";
    TypeAndPressEnter(typed);
    ExpectSelected(typed, true);
    EXPECT_EQ(UserPassword, L"");
  }
}

TEST_F(Selector, ATextThatNamesNoShareIsRefusedAndChangesNothing) {
  MappedDrivesSeam drives;
  ExpandMaster();
  form.tvwNetwork_NodeClick(kKorvell);
  for (const wchar_t* typed : {L"C:\\Korvell", L"abc", kMaster, L"\\\\MASTER\\korvell\\dats", L"Q:"}) {
    DialogAnswerer user(IDOK);
    TypeAndPressEnter(typed);
    ASSERT_TRUE(user.Answered()) << basic::ToAnsi(typed);
    EXPECT_EQ(user.Title(), "Korvell Ostrelle");
    EXPECT_NE(user.Text().find(basic::ToAnsi(typed)), std::string::npos) << user.Text();
    EXPECT_NE(user.Text().find("for example \\\\MASTER\\KORVELL"), std::string::npos) << user.Text();
    ExpectSelected(kKorvell, false);
  }
  DialogAnswerer none(IDOK, 1000);
  TypeAndPressEnter(L"  ");
  ExpectSelected(kKorvell, false);
  EXPECT_FALSE(none.Answered()) << "an empty box says nothing";
}

TEST_F(Selector, LeavingTheBoxSelectsWhatWasTypedOnce) {
  ExpandMaster();
  const auto previous = std::exchange(sharepaths::FolderTest, &CountedFolderTest);
  g_folderTests = 0;
  SetFocus(tree().hWnd());
  driver::PressKey(tree().hWnd(), VK_TAB);
  basic::DoEvents();
  ASSERT_EQ(GetFocus(), PathBox()) << "the box comes after the tree";
  form.SetText(L"txtPath", kKorvell);
  driver::PressKey(PathBox(), VK_TAB);
  basic::DoEvents();
  EXPECT_NE(GetFocus(), PathBox());
  ExpectSelected(kKorvell, false);
  EXPECT_EQ(g_folderTests, 1);

  // Passing through the box again, the text unchanged, keeps what the tree chose since.
  form.tvwNetwork_NodeClick(kMaster);
  SetFocus(PathBox());
  SetFocus(tree().hWnd());
  EXPECT_EQ(networkdriveunc, L"None");
  EXPECT_EQ(g_folderTests, 1);

  SetFocus(PathBox());
  form.SetText(L"txtPath", kUsers);
  SetFocus(tree().hWnd());
  ExpectSelected(kUsers, false);
  EXPECT_EQ(g_folderTests, 2);
  sharepaths::FolderTest = previous;
}

TEST_F(Selector, TypedPathsNeverRunTheShareCheck) {
  // As after browsing listed shares without the planner's: the next check ends the wizard.
  InShareRoot = true;
  ObrinShared = false;
  TypeAndPressEnter(L"\\\\ACCOUNTS\\Ledgers");
  ExpectSelected(L"\\\\ACCOUNTS\\Ledgers", false);
  EXPECT_TRUE(InShareRoot);
  EXPECT_TRUE(form.IsLoaded());
}

// A connection of this user, ended again with the test.
struct Connection {
  explicit Connection(std::string share) : remote(std::move(share)) {
    NETRESOURCEA resource{};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpRemoteName = remote.data();
    result = WNetAddConnection2A(&resource, nullptr, nullptr, 0);
  }
  ~Connection() { WNetCancelConnection2A(remote.c_str(), 0, TRUE); }
  std::string remote;
  DWORD result;
};

TEST_F(Selector, ConnectedFoldersAreListedBesideTheNetworkAndSelectLikeShares) {
  form.Unload();
  Connection korvell("\\\\MASTER\\korvell");
  ASSERT_EQ(korvell.result, DWORD(NO_ERROR));
  form.Show();
  const std::wstring key = L"_CONNECTED|\\\\MASTER\\korvell";
  ASSERT_EQ(tree().ChildKeys(L"_CONNECTED").size(), 1u);
  EXPECT_EQ(basic::UCase(tree().ChildKeys(L"_CONNECTED").front()), basic::UCase(key));
  EXPECT_EQ(basic::UCase(tree().Text(key)), L"\\\\MASTER\\KORVELL");
  EXPECT_EQ(Node(key), tree().Text(key) + L", share, Y") << "nothing to browse below it";

  // The same share under the whole network keeps a node of its own.
  ExpandMaster();
  tree().EnsureVisible(key);
  ClickWithTheMouse(key);
  EXPECT_EQ(basic::UCase(networkdriveunc), L"\\\\MASTER\\KORVELL");
  ExpectSelected(networkdriveunc, false);
}

// Drives remembered for later sessions, where the router keeps them; gone
// again with the test, and the router's key too if it was not there before.
class Remembered {
 public:
  explicit Remembered(std::vector<std::pair<std::string, std::string>> drives) : drives_(std::move(drives)) {
    HKEY key;
    hadKey_ = RegOpenKeyExA(HKEY_CURRENT_USER, "Network", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (hadKey_) RegCloseKey(key);
    const DWORD disk = RESOURCETYPE_DISK;
    for (const auto& [letter, remote] : drives_) {
      const std::string drive = "Network\\" + letter;
      RegSetKeyValueA(HKEY_CURRENT_USER, drive.c_str(), "RemotePath", REG_SZ, remote.c_str(), DWORD(remote.size() + 1));
      RegSetKeyValueA(HKEY_CURRENT_USER, drive.c_str(), "ConnectionType", REG_DWORD, &disk, sizeof disk);
    }
  }
  ~Remembered() {
    for (const auto& [letter, remote] : drives_) RegDeleteTreeA(HKEY_CURRENT_USER, ("Network\\" + letter).c_str());
    for (const auto& [letter, remote] : drives_) RegDeleteKeyA(HKEY_CURRENT_USER, ("Network\\" + letter).c_str());
    if (!hadKey_) RegDeleteKeyA(HKEY_CURRENT_USER, "Network");
  }

 private:
  std::vector<std::pair<std::string, std::string>> drives_;
  bool hadKey_ = false;
};

TEST_F(Selector, RememberedFoldersAreListedOnceBesideTheConnectedOnes) {
  form.Unload();
  Connection korvell("\\\\MASTER\\korvell");
  ASSERT_EQ(korvell.result, DWORD(NO_ERROR));
  Remembered remembered({{"Y", "\\\\master\\KORVELL"}, {"Z", "\\\\MASTER\\Users"}});
  form.Show();
  std::vector<std::wstring> listed;
  for (const auto& child : tree().ChildKeys(L"_CONNECTED")) listed.push_back(basic::UCase(tree().Text(child)));
  EXPECT_EQ(listed, (std::vector<std::wstring>{L"\\\\MASTER\\KORVELL", L"\\\\MASTER\\USERS"}));
  form.tvwNetwork_NodeClick(L"_CONNECTED|\\\\MASTER\\Users");
  ExpectSelected(L"\\\\MASTER\\Users", false);
}

using endtoend::Setting;

class Confirmation : public Selector {
 protected:
  RegistrySandbox machine{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon"};
  RegistrySandbox user{HKEY_CURRENT_USER, "SOFTWARE\\Quillon"};
};

TEST_F(Confirmation, AShareWithoutDataFolderIsQuestionedAndNoGoesBackToTheSelection) {
  ExpandMaster();
  form.tvwNetwork_NodeClick(kUsers);
  {
    DialogAnswerer answer(IDNO);
    form.cmdMapDrive_Click();
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Title(), "Korvell Ostrelle");
    EXPECT_EQ(answer.Text(),
              "\\\\MASTER\\Users holds no Korvell data folder yet: has the master set-up been run?\r\n"
              "Yes uses this folder anyway, No goes back to the selection.");
  }
  EXPECT_TRUE(form.IsLoaded());
  ExpectSelected(kUsers, false);
  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), "<missing>");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "<missing>");

  // Yes goes on to the question, answered No here.
  DialogAnswerer answers(std::vector<int>{IDYES, IDNO});
  form.cmdMapDrive_Click();
  ASSERT_TRUE(answers.Answered());
  EXPECT_EQ(answers.Texts().at(1), "Are You Sure That\r\n\\\\MASTER\\Users\r\nIs The Korvell Master Directory?");
}

TEST_F(Confirmation, AShareWithItsDataFolderGoesStraightToTheQuestion) {
  TypeAndPressEnter(kKorvell);
  DialogAnswerer answer(IDNO);
  form.cmdMapDrive_Click();
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(answer.Text(), "Are You Sure That\r\n\\\\MASTER\\korvell\r\nIs The Korvell Master Directory?");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "<missing>");
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
