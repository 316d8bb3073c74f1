// The password prompt connects to the selected share through the network
// provider router and the stand-in provider, opens its folder, and keeps the
// password nowhere.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <winnetwk.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "basic/Runtime.h"
#include "basic/Scripting.h"
#include "basic/Text.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwDump.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/SharePaths.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "standins/reportext/VbwExtension.h"
#include "support/DialogAnswerer.h"
#include "support/FormsUnderTest.h"
#include "support/NetProviderSandbox.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kVault = L"\\\\MASTER\\Vault";
constexpr const wchar_t* kStaff = L"\\\\MASTER\\Staff";
constexpr const char* kVaultPassword = "Zq7-vault-8Kp";
constexpr const char* kStaffPassword = "Wy4-staff-3Jd";
constexpr const char* kWrongPassword = "Xr9-wrong-5Tn";

// The selector's office with two protected shares, one of them for one user only.
constexpr const char* kProtectedOffice =
    "provider Office Network\n"
    "  domain QUILLON\n"
    "    server MASTER\n"
    "      share korvell\n"
    "      share Vault | password Zq7-vault-8Kp\n"
    "      share Staff | password Wy4-staff-3Jd | user alice\n"
    "provider Lab Network\n";

struct Box {
  std::string title, text;
};

class PasswordPrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowFreshSelector(selector);
    for (const wchar_t* key : {L"Office Network", L"QUILLON", L"\\\\MASTER"}) selector.tvwNetwork_Expand(key);
  }
  void TearDown() override {
    prompt.Unload();
    selector.Unload();
    for (const wchar_t* share : {kVault, kStaff}) WNetCancelConnection2A(basic::ToAnsi(share).c_str(), 0, TRUE);
  }

  // The user clicks the share, then the password button.
  void Open(const wchar_t* share) {
    selector.tvwNetwork_NodeClick(share);
    prompt.Show();
  }
  void Type(const char* user, const char* password) {
    prompt.SetText(L"txtUser", basic::FromAnsi(user));
    prompt.SetText(L"txtPassword", basic::FromAnsi(password));
  }
  // OK, where a message box is to come; the box is answered.
  Box OkRefused() {
    DialogAnswerer answerer(IDOK);
    prompt.cmdOk_Click();
    return answerer.Answered() ? Box{answerer.Title(), answerer.Text()} : Box{};
  }
  // OK, where no message box may come.
  void OkAccepted() {
    DialogAnswerer unexpected(IDOK, 1500);
    prompt.cmdOk_Click();
    EXPECT_FALSE(unexpected.Answered()) << unexpected.Texts().front();
  }
  bool Confirmable() { return selector.Enabled(L"cmdMapDrive"); }
  // Still asking, with nothing gained.
  void ExpectStillAsking(const wchar_t* share) {
    EXPECT_TRUE(prompt.IsLoaded());
    EXPECT_EQ(prompt.Text(L"txtPassword"), L"");
    EXPECT_EQ(Focused(prompt), L"txtPassword");
    EXPECT_TRUE(networkdriveprotected);
    EXPECT_FALSE(Confirmable());
    EXPECT_FALSE(basic::FolderOpens(share));
  }

  ServedNetwork network{kProtectedOffice};
  frmNWCheck& selector = frmNWCheck::Instance();
  frmPassword prompt;
};

TEST_F(PasswordPrompt, AWrongPasswordIsRefusedWithTheReasonAndTheRightOneOpensTheShare) {
  Open(kVault);
  EXPECT_TRUE(networkdriveprotected);
  EXPECT_FALSE(Confirmable());
  Type("", kWrongPassword);
  const Box box = OkRefused();
  EXPECT_EQ(box.title, "Enter Network Password");
  EXPECT_NE(box.text.find(basic::ToAnsi(kVault)), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Invalid password."), std::string::npos) << box.text;
  ExpectStillAsking(kVault);

  Type("", kVaultPassword);
  OkAccepted();
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_TRUE(basic::FolderOpens(kVault));
  EXPECT_FALSE(networkdriveprotected);
  EXPECT_TRUE(Confirmable());
  EXPECT_EQ(UserPassword, L"");
}

TEST_F(PasswordPrompt, AUserTheShareDoesNotKnowIsRefusedAndTheUserLoggedOnIsNot) {
  Open(kStaff);
  Type("mallory", kStaffPassword);
  const Box box = OkRefused();
  EXPECT_NE(box.text.find(basic::ToAnsi(kStaff)), std::string::npos) << box.text;
  EXPECT_EQ(box.text.find("Invalid password."), std::string::npos) << "the user, not the password, was wrong";
  ExpectStillAsking(kStaff);
  EXPECT_EQ(prompt.Text(L"txtUser"), L"mallory") << "only the password is typed again";

  Type("", kStaffPassword);
  OkAccepted();
  EXPECT_TRUE(basic::FolderOpens(kStaff));
  EXPECT_TRUE(Confirmable());
}

TEST_F(PasswordPrompt, AConnectionWhoseFolderStaysClosedIsNoAnswer) {
  const auto connect = sharepaths::Connect;
  sharepaths::Connect = [](const std::wstring&, const std::wstring&, const std::wstring&) { return DWORD(0); };
  Open(kVault);
  Type("", kVaultPassword);
  const Box box = OkRefused();
  sharepaths::Connect = connect;
  EXPECT_NE(box.text.find("cannot be opened"), std::string::npos) << box.text;
  ExpectStillAsking(kVault);
}

TEST_F(PasswordPrompt, CancelConnectsNothing) {
  Open(kVault);
  Type("", kVaultPassword);
  prompt.cmdCancel_Click();
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_FALSE(basic::FolderOpens(kVault));
  EXPECT_TRUE(networkdriveprotected);
  EXPECT_FALSE(Confirmable());
}

TEST_F(PasswordPrompt, TheKeyboardWorksThePromptFromThePasswordBox) {
  Open(kVault);
  EXPECT_EQ(Focused(prompt), L"txtPassword");
  for (const wchar_t* next : {L"cmdOk", L"cmdCancel", L"txtUser", L"txtPassword"}) {
    Press(VK_TAB);
    EXPECT_EQ(Focused(prompt), next);
  }
  Type("", kVaultPassword);
  Press(VK_ESCAPE);
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_FALSE(basic::FolderOpens(kVault));

  prompt.Show();
  Type("", kWrongPassword);
  {
    DialogAnswerer answerer(IDOK);
    Press(VK_RETURN);
  }
  ExpectStillAsking(kVault);
  Type("", kVaultPassword);
  Press(VK_RETURN);
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_TRUE(Confirmable());
}

// Where the password could be left: the registry, files written during the
// test, the variables of an error report; in ANSI or in UTF-16.
bool Holds(const std::string& bytes, const std::string& secret) {
  const std::wstring wide = basic::FromAnsi(secret);
  return bytes.find(secret) != std::string::npos ||
         bytes.find(reinterpret_cast<const char*>(wide.data()), 0, wide.size() * sizeof(wchar_t)) != std::string::npos;
}

// Searches registry trees for the secret in a value's name or data.
class RegistrySearch {
 public:
  explicit RegistrySearch(std::string secret) : secret_(std::move(secret)) {}

  // The first key that holds the secret below the places where a password
  // could be kept: the wizard's settings, the router's remembered
  // connections, the system's password and credential stores, the
  // provider's services. Empty when none.
  std::string KeyHolding() {
    const std::pair<HKEY, const wchar_t*> trees[] = {
        {HKEY_CURRENT_USER, L"Software\\Quillon"},
        {HKEY_LOCAL_MACHINE, L"Software\\Quillon"},
        {HKEY_CURRENT_USER, L"Network"},
        {HKEY_CURRENT_USER, L"Software\\Wine"},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion"},
        {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\KorvellNet"},
        {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\KorvellNet1"},
        {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\KorvellNet2"},
    };
    for (const auto& [root, path] : trees)
      if (std::string key = Below(root, path); !key.empty()) return key;
    return {};
  }

 private:
  std::string Below(HKEY parent, const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::string found = HoldsValue(key) ? basic::ToAnsi(path) : "";
    for (DWORD i = 0; found.empty(); ++i) {
      DWORD length = std::size(name_);
      if (RegEnumKeyExW(key, i, name_, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (std::string below = Below(key, name_); !below.empty()) found = basic::ToAnsi(path) + "\\" + below;
    }
    RegCloseKey(key);
    return found;
  }
  // The data buffer grows to the largest value met: the system answers
  // with as much as the buffer offered, so a large one slows every call.
  bool HoldsValue(HKEY key) {
    for (DWORD i = 0;;) {
      DWORD length = std::size(name_), size = DWORD(data_.size());
      const LONG result = RegEnumValueW(key, i, name_, &length, nullptr, nullptr, data_.data(), &size);
      if (result == ERROR_NO_MORE_ITEMS) return false;
      if (result == ERROR_MORE_DATA && size > data_.size()) {
        data_.resize(size);
        continue;
      }
      const std::string bytes(reinterpret_cast<const char*>(name_), length * sizeof(wchar_t));
      if (result == ERROR_SUCCESS && Holds(bytes + std::string(data_.begin(), data_.begin() + size), secret_))
        return true;
      ++i;
    }
  }

  std::string secret_;
  wchar_t name_[16384];
  std::vector<BYTE> data_ = std::vector<BYTE>(256);
};

// A file below the folder, changed since the time given, that holds the
// secret; empty when none. Links to folders elsewhere are not followed.
std::string FileHolding(const std::wstring& folder, const FILETIME& since, const std::string& secret) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::string found;
  do {
    const std::wstring name = entry.cFileName, path = folder + L"\\" + name;
    if (name == L"." || name == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found = FileHolding(path, since, secret);
    } else if (CompareFileTime(&entry.ftLastWriteTime, &since) >= 0) {
      std::ifstream in(fs::path(path), std::ios::binary);
      if (Holds(std::string(std::istreambuf_iterator<char>(in), {}), secret)) found = basic::ToAnsi(path);
    }
  } while (found.empty() && FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// The folders where this program or the system on its behalf writes: the
// user's application data and temporary files, and the program's own.
// The user's other folders lead out of the prefix, into the home folder.
std::vector<std::wstring> WrittenFolders() {
  wchar_t profile[MAX_PATH] = L"", temp[MAX_PATH] = L"", self[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
  GetTempPathW(MAX_PATH, temp);
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return {std::wstring(profile) + L"\\AppData", fs::path(temp).parent_path().wstring(),
          fs::path(self).parent_path().wstring()};
}

// The variables an error report writes, with the forms described as the
// report extension describes them.
std::string ReportedVariables() {
  const fs::path dump = fs::temp_directory_path() / "korvell-prompt-variables.txt";
  const std::wstring previous = vbwDumpFile;
  vbwDumpFile = VbwExtension1.DumpPath = dump.wstring();
  VbwExtension1.StringLimit = vbwDumpStringMaxLength;
  vbwObjectReporter = [](const std::wstring& name, const basic::Object* object, int32_t indent) {
    VbwExtension1.ObjectReport(name, object, indent);
  };
  vbwWriteVariables();
  vbwObjectReporter = nullptr;
  vbwDumpFile = previous;
  std::ifstream in(dump, std::ios::binary);
  std::string written(std::istreambuf_iterator<char>(in), {});
  in.close();
  fs::remove(dump);
  return written;
}

TEST_F(PasswordPrompt, ThePasswordIsLeftNowhere) {
  FILETIME start;
  GetSystemTimeAsFileTime(&start);
  Open(kVault);
  Type("reported-user", kWrongPassword);
  OkRefused();
  prompt.SetText(L"txtPassword", basic::FromAnsi(kVaultPassword));  // typed, not yet sent
  const std::string variables = ReportedVariables();
  EXPECT_NE(variables.find("reported-user"), std::string::npos) << "the prompt is described: " << variables;
  EXPECT_NE(variables.find("(password, not shown)"), std::string::npos) << variables;
  for (const char* secret : {kWrongPassword, kVaultPassword}) EXPECT_FALSE(Holds(variables, secret)) << variables;

  OkAccepted();
  ASSERT_TRUE(basic::FolderOpens(kVault));
  EXPECT_EQ(UserPassword, L"");
  for (const char* secret : {kWrongPassword, kVaultPassword}) {
    EXPECT_EQ(RegistrySearch(secret).KeyHolding(), "") << secret;
    for (const std::wstring& folder : WrittenFolders()) EXPECT_EQ(FileHolding(folder, start, secret), "") << secret;
  }
}

}  // namespace
