// The library as scripts use it: late-bound, variables passed as references
// to variants, numbers in the types that each language keeps them in.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <vector>

#include "../../src/basic/Handles.h"
#include "../../src/basic/Text.h"
#include "../support/RegistrySandbox.h"
#include "MerrowActivation.h"
#include "MerrowClient.h"

namespace {

using basic::ToAnsi;

std::string Temp(const char* name) {
  char dir[MAX_PATH];
  return std::string(dir, GetTempPathA(MAX_PATH, dir)) + name;
}

std::string Beside(const char* name) {
  const std::string library = MerrowPath();
  return library.substr(0, library.find_last_of('\\') + 1) + name;
}

std::wstring TypedFolder(DISPID id) {
  MerrowClient client(Binding::Early);
  std::wstring folder;
  Args args;
  client.Call(id, args.Ref(folder));
  return folder;
}

// The scripts set the system's colours; the test puts them back.
class SavedColors {
 public:
  SavedColors() {
    for (int i = 0; i < kCount; ++i) colors_[i] = GetSysColor(indexes_[i] = i);
  }
  ~SavedColors() { SetSysColors(kCount, indexes_.data(), colors_.data()); }

 private:
  static constexpr int kCount = 19;
  std::array<INT, kCount> indexes_;
  std::array<COLORREF, kCount> colors_;
};

// Runs the script in the system's script host and answers the lines it wrote.
std::vector<std::string> RunScript(const std::string& script) {
  char system[MAX_PATH];
  // A 32-bit program that names the system folder is given the 32-bit one.
  const std::string host = std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\cscript.exe";
  const std::string output = Temp("merrow-script.txt");
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  {
    const basic::UniqueFile file(
        CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file.get();
    PROCESS_INFORMATION started{};
    std::string line = "\"" + host + "\" //nologo \"" + script + "\"";
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
      return {};
    const basic::UniqueHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
  }
  std::vector<std::string> lines;
  std::ifstream written(output);
  for (std::string line; std::getline(written, line);) lines.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
  written.close();
  DeleteFileA(output.c_str());
  return lines;
}

// Each script checks every call on a line of its own, "ok" and the call, and
// ends with "done": the host would exit quietly when an error stopped it.
class MerrowScript : public testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Languages, MerrowScript, testing::Values("merrow.vbs", "merrow.js"),
                         [](const auto& info) { return info.index == 0 ? "VBScript" : "JScript"; });

TEST_P(MerrowScript, EveryOperationGivesWhatTheTypedClientGets) {
  const ComApartment apartment;
  const std::string ini = Temp("merrow-script.ini");
  const RegistrySandbox key(HKEY_LOCAL_MACHINE, "SOFTWARE\\MerrowScriptTest");
  const std::array<std::pair<const char*, std::string>, 4> given{{
      {"MERROW_WINDIR", ToAnsi(TypedFolder(idGetWindowsDir))},
      {"MERROW_SYSDIR", ToAnsi(TypedFolder(idGetWindowsSysDir))},
      {"MERROW_INI", ini},
      {"MERROW_KEY", key.Path()},
  }};
  for (const auto& [name, value] : given) SetEnvironmentVariableA(name, value.c_str());
  const SavedColors colors;

  const std::vector<std::string> lines = RunScript(Beside(GetParam()));
  DeleteFileA(ini.c_str());
  ASSERT_FALSE(lines.empty()) << "the script host wrote nothing";
  for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, 3), "ok ") << lines[i];
  EXPECT_EQ(lines.back(), "done") << "the script stopped after: " << lines.back();
}

// --- Arguments that the call cannot take ------------------------------------------

VARIANT Of(VARTYPE type) {
  VARIANT v{};
  v.vt = type;
  return v;
}
VARIANT Text(const wchar_t* text) {
  VARIANT v = Of(VT_BSTR);
  v.bstrVal = SysAllocString(text);
  return v;
}
VARIANT Long(LONG n) {
  VARIANT v = Of(VT_I4);
  v.lVal = n;
  return v;
}
VARIANT Double(double n) {
  VARIANT v = Of(VT_R8);
  v.dblVal = n;
  return v;
}

struct Refusal {
  const char* what;
  DISPID id;
  std::vector<VARIANT> args;  // in the operation's order
  HRESULT hr;
  UINT argErr;  // the argument's index in rgvarg, where the last one is 0
};

TEST(MerrowLateBinding, ARefusedArgumentIsNamedAndNothingRuns) {
  const ComApartment apartment;
  const MerrowClient client(Binding::Late);
  LONG number = 0;
  VARIANT numberVariable = Of(VT_I4 | VT_BYREF);
  numberVariable.plVal = &number;
  VARIANT object = Of(VT_DISPATCH);
  object.pdispVal = client.Object();
  object.pdispVal->AddRef();
  const RegistrySandbox key(HKEY_LOCAL_MACHINE, "SOFTWARE\\MerrowRefused");
  const wchar_t* path = L"SOFTWARE\\MerrowRefused";

  std::array<Refusal, 7> cases{{
      {"Null for a text", idGetWindowsDir, {Of(VT_NULL)}, DISP_E_TYPEMISMATCH, 0},
      {"a text for the root", idCreateNewKey, {Text(path), Text(L"HKLM"), Long(0)}, DISP_E_TYPEMISMATCH, 1},
      {"2^32 for the root", idCreateNewKey, {Text(path), Double(4294967296.0), Long(0)}, DISP_E_OVERFLOW, 1},
      {"the root's digits", idCreateNewKey, {Text(path), Text(L"2147483650"), Long(0)}, DISP_E_OVERFLOW, 1},
      {"70000 for a key code", idValidateText, {Long(70000), Text(L"a"), Text(L"AnyText")}, DISP_E_OVERFLOW, 2},
      {"an object for a name", idWriteValue, {Text(path), object, Long(1), Text(L"")}, DISP_E_TYPEMISMATCH, 2},
      {"a Long variable", idReadIniValue, {Text(L""), numberVariable, Text(L""), Text(L"")}, DISP_E_TYPEMISMATCH, 2},
  }};
  for (auto& c : cases) {
    std::vector<VARIANT> reversed(c.args.rbegin(), c.args.rend());
    DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
    UINT argErr = 99;
    Var result;
    EXPECT_EQ(client.Object()->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                                      &argErr),
              c.hr)
        << c.what;
    EXPECT_EQ(argErr, c.argErr) << c.what;
    for (auto& arg : c.args) VariantClear(&arg);
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key.Path()));
}

TEST(MerrowLateBinding, NamedArgumentsReachTheirParameters) {
  const ComApartment apartment;
  const MerrowClient client(Binding::Late);
  std::array<LPOLESTR, 4> names{const_cast<LPOLESTR>(L"ValidateText"), const_cast<LPOLESTR>(L"pType"),
                                const_cast<LPOLESTR>(L"pKeyIn"), const_cast<LPOLESTR>(L"pValidateString")};
  std::array<DISPID, 4> ids{};
  ASSERT_EQ(client.Object()->GetIDsOfNames(IID_NULL, names.data(), 4, LOCALE_USER_DEFAULT, ids.data()), S_OK);
  std::array<VARIANT, 3> args{Text(L"AnyText"), Long(8), Text(L"0123456789")};
  DISPPARAMS params{args.data(), ids.data() + 1, 3, 3};
  Var result;
  EXPECT_EQ(client.Object()->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                                    nullptr),
            S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, 8) << "backspace passes with the type AnyText only";
  for (auto& arg : args) VariantClear(&arg);
}

}  // namespace
