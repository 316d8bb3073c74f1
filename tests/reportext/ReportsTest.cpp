// The version and system reports, and the object report of the dump.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cwchar>

#include "ReportExtTesting.h"
#include "basic/AppVersion.h"
#include "basic/Err.h"
#include "basic/Form.h"
#include "basic/Text.h"
#include "standins/reportext/VbwExtension.h"

namespace {

using basic::FromAnsi;

// The report holds every part; every line break is CR LF, and none ends the text.
void ExpectReport(const std::wstring& text, std::initializer_list<std::wstring> parts) {
  for (const std::wstring& part : parts) EXPECT_NE(text.find(part), std::wstring::npos) << part << "\nin:\n" << text;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << "bare line feed at " << i;
    } else if (text[i] == L'\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "bare return at " << i;
    }
  }
  EXPECT_FALSE(text.ends_with(L"\r\n"));
}

TEST(VersionReport, NamesTheProgramItsVersionLibrariesReferencesAndLoadedModules) {
  VbwExtension extension;
  extension.InstanceHandle = GetModuleHandleA(nullptr);
  extension.CommandLine = L"/test";
  extension.RuntimeLibrary = L"kernel32.dll";
  extension.References = L"Scripting;DAO;Merrow32";
  const std::wstring report = extension.VersionReport();
  const std::wstring self = FromAnsi(ThisFolder()) + L"\\test_reportext.exe";

  const std::wstring version = std::to_wstring(APP_VERSION_MAJOR) + L"." + std::to_wstring(APP_VERSION_MINOR) + L".0." +
                               std::to_wstring(APP_VERSION_REVISION);
  ExpectReport(
      report, {L"Program: " + self + L"\r\n", L"Program version: " + version + L"\r\n", L"Command line: /test\r\n",
               L"Merrow.dll: " + FromAnsi(ThisFolder()) + L"\\Merrow.dll, version ",
               L"Runtime library: kernel32.dll: C:\\windows\\system32\\kernel32.dll, version ",
               L"Reference: Scripting\r\nReference: DAO\r\nReference: Merrow32\r\n", L"Module: " + self + L", version ",
               L"Module: C:\\windows\\system32\\ntdll.dll, version "});
}

TEST(VersionReport, SaysWhenTheRuntimeLibraryIsNowhere) {
  VbwExtension extension;
  extension.RuntimeLibrary = L"msvbvm60.dll";
  ExpectReport(extension.VersionReport(), {L"Runtime library: msvbvm60.dll, not found\r\n"});
}

TEST(SystemReport, DescribesMachineMemoryDisksLocaleAndScreen) {
  char computer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  wchar_t lcid[16];
  swprintf(lcid, 16, L"(LCID 0x%04X)", unsigned(GetUserDefaultLCID()));
  ExpectReport(VbwExtension().SystemReport(),
               {L"Computer name: " + FromAnsi(computer) + L"\r\n", L"Memory: ", L" MB physical, ",
                L"Disk C:\\: fixed, ", L"ANSI code page " + std::to_wstring(GetACP()),
                L"Screen: " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" x ", lcid, L"Operating system: ",
                L"Processor: ", L"Locale: ", L"User name: "});
}

constexpr basic::FormSpec kTestForm{L"frmLogin", L"Log in", 4000, 2000};
constexpr std::array kTestControls{
    basic::ControlSpec{basic::Kind::Label, L"lblInfo", 120, 120, 3000, 400, L"Your name\r\nand password"},
    basic::ControlSpec{basic::Kind::Panel, L"pnlFrame", 60, 60, 3800, 1800},
    basic::ControlSpec{basic::Kind::TextBox, L"txtName", 120, 600, 3000, 300, L"Anne"},
    basic::ControlSpec{basic::Kind::PasswordBox, L"txtPassword", 120, 1000, 3000, 300, L"secret"},
    basic::ControlSpec{basic::Kind::Button, L"cmdOK", 120, 1400, 1200, 375, L"OK"},
};

class LoginForm : public basic::Form {
 public:
  LoginForm() : Form(kTestForm, kTestControls) {}
};

class NetResourceLike : public basic::Object {
 public:
  std::wstring ClassName() const override { return L"NetResource"; }
};

class ObjectReport : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileText(dump_, "Variables\r\n");
    extension_.DumpPath = FromAnsi(dump_);
  }
  void TearDown() override { DeleteFileA(dump_.c_str()); }
  std::string Dump() const { return ReadFileText(dump_); }

  const std::string dump_ = ThisFolder() + "\\reportext-dump.txt";
  VbwExtension extension_;
};

TEST_F(ObjectReport, ListsTheControlsOfALoadedFormIndentedWithoutThePassword) {
  LoginForm form;
  form.Load();
  form.SetEnabled(L"cmdOK", false);
  extension_.ObjectReport(L"frmLogin", &form, 2);
  const std::string dump = Dump();

  EXPECT_EQ(dump.find("secret"), std::string::npos) << dump;
  EXPECT_TRUE(dump.starts_with("Variables\r\n\t\tForm frmLogin (frmLogin)\r\n\t\t\tCaption: \"Log in\", ")) << dump;
  const std::string controls[] = {
      "\t\t\tlblInfo (Static): \"Your name<CrLf>and password\", left ",
      "\t\t\ttxtName (Edit): \"Anne\", left ",
      "\t\t\ttxtPassword (Edit): (password, not shown), left ",
      "\t\t\tcmdOK (Button): \"OK\", left ",
  };
  size_t at = 0;
  for (const std::string& control : controls) {
    at = dump.find(control, at);
    EXPECT_NE(at, std::string::npos) << control << " in order in\n" << dump;
  }
  EXPECT_NE(dump.find(", enabled, visible\r\n\t\t\tcmdOK"), std::string::npos);
  EXPECT_TRUE(dump.ends_with(", disabled, visible\r\n")) << dump;
  EXPECT_EQ(dump.find("pnlFrame"), std::string::npos);
  form.Unload();
}

TEST_F(ObjectReport, CutsLongTextsAtTheStringLimit) {
  LoginForm form;
  form.Load();
  extension_.StringLimit = 3;
  extension_.ObjectReport(L"frmLogin", &form, 0);
  EXPECT_NE(Dump().find("txtName (Edit): \"Ann{...}\", "), std::string::npos) << Dump();
  form.Unload();
}

TEST_F(ObjectReport, SaysWhenAFormIsNotLoaded) {
  LoginForm form;
  extension_.ObjectReport(L"frmLogin", &form, 1);
  EXPECT_EQ(Dump(), "Variables\r\n\tForm frmLogin (frmLogin)\r\n\t\t(not loaded)\r\n");
}

TEST_F(ObjectReport, NamesTheClassOfAnObjectAndNothingForNone) {
  const NetResourceLike resource;
  extension_.ObjectReport(L"mvChildren(1)", &resource, 1);
  extension_.ObjectReport(L"NetRoot", nullptr, 0);
  EXPECT_EQ(Dump(), "Variables\r\n\tObject mvChildren(1) (NetResource)\r\nNetRoot = Nothing\r\n");
}

TEST_F(ObjectReport, RaisesAFileErrorWhenTheDumpCannotBeWritten) {
  extension_.DumpPath = L"C:\\no such folder\\Variables.txt";
  EXPECT_THROW(extension_.ObjectReport(L"NetRoot", nullptr, 0), basic::Error);
}

}  // namespace
