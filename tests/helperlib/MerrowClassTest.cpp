#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>

#include "../../src/basic/Handles.h"
#include "../../src/basic/Text.h"
#include "../support/RegistrySandbox.h"
#include "MerrowActivation.h"
#include "MerrowClient.h"

namespace {

using basic::FromAnsi;
using basic::ToAnsi;

// The library stays registered for the whole program and is gone after it.
class RegisteredMerrow : public testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(Regsvr32("/s"), 0u); }
  void TearDown() override { EXPECT_EQ(Regsvr32("/s /u"), 0u); }
};
const auto* const registered = testing::AddGlobalTestEnvironment(new RegisteredMerrow);

constexpr LONG kLocalMachine = LONG(0x80000002);
constexpr short kBackspace = 8;
const std::string kTestKey = "SOFTWARE\\MerrowTest";

std::wstring Temp(const std::wstring& name) {
  char dir[MAX_PATH];
  return FromAnsi(std::string(dir, GetTempPathA(MAX_PATH, dir))) + name;
}

VARIANT Text(const wchar_t* text) {
  VARIANT v{};
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

VARIANT Long(LONG n) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}

// Each operation as a client calls it, through the binding under test.
class MerrowClassTest : public testing::TestWithParam<Binding> {
 protected:
  void Call(DISPID id, Args& args) { client_.Call(id, args); }

  std::wstring Directory(DISPID id) {
    std::wstring dir = L"unchanged";
    Args args;
    Call(id, args.Ref(dir));
    EXPECT_EQ(args.result.vt, VT_EMPTY);
    return dir;
  }
  bool DirExists(std::wstring dir) {
    Args args;
    Call(idDirExists, args.Ref(dir));
    EXPECT_EQ(args.result.vt, VT_BOOL);
    return args.result.boolVal == VARIANT_TRUE;
  }
  std::wstring ReadIni(std::wstring key, std::wstring value, std::wstring file) {
    std::wstring section = L"Section";
    Args args;
    Call(idReadIniValue, args.Ref(section).Ref(key).Ref(value).Ref(file));
    return value;
  }
  void WriteIni(std::wstring key, std::wstring value, std::wstring file) {
    std::wstring section = L"Section";
    Args args;
    Call(idWriteIniValue, args.Ref(section).Ref(key).Ref(value).Ref(file));
  }
  std::wstring Capitalise(const std::wstring& original) {
    std::wstring text = original;
    Args args;
    Call(idCapitalise, args.Ref(text));
    EXPECT_EQ(text, original) << "the argument is not changed";
    return args.result.vt == VT_BSTR ? std::wstring(args.result.bstrVal, SysStringLen(args.result.bstrVal)) : L"?";
  }
  short ValidateText(short key, std::wstring set, std::wstring type) {
    Args args;
    Call(idValidateText, args.Val(key).Ref(set).Ref(type));
    EXPECT_EQ(args.result.vt, VT_I2);
    return args.result.iVal;
  }
  LONG CreateNewKey(std::wstring name) {
    LONG root = kLocalMachine, code = -1;
    Args args;
    Call(idCreateNewKey, args.Ref(name).Ref(root).Ref(code));
    return code;
  }
  std::wstring QueryValue(std::wstring name, std::wstring key = FromAnsi(kTestKey)) {
    std::wstring value = L"before";
    Args args;
    Call(idQueryValue, args.Ref(key).Ref(name).Ref(value));
    return value;
  }
  void WriteValue(std::wstring name, LONG type, VARIANT value, DISPID id = idWriteValue) {
    std::wstring key = FromAnsi(kTestKey);
    Var owned;
    static_cast<VARIANT&>(owned) = value;
    Args args;
    Call(id, args.Ref(key).Ref(name).Ref(type).Ref(owned));
  }
  int FailureNumber(const std::function<void()>& call) {
    try {
      call();
    } catch (const CallFailed& failed) {
      EXPECT_EQ(failed.source, L"Merrow.MerrowClass");
      if (failed.Number() == 5) {
        EXPECT_EQ(failed.description, L"Invalid procedure call or argument");
      }
      return failed.Number();
    }
    return 0;
  }

  ComApartment apartment_;
  MerrowClient client_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Bindings, MerrowClassTest, testing::Values(Binding::Early, Binding::Late),
                         [](const auto& info) { return info.param == Binding::Early ? "Vtable" : "Dispatch"; });

// --- Directories --------------------------------------------------------------

TEST_P(MerrowClassTest, DirectoriesEndInOneBackslash) {
  char dir[MAX_PATH];
  EXPECT_EQ(Directory(idGetWindowsDir), FromAnsi(std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH))) + L"\\");
  EXPECT_EQ(Directory(idGetWindowsSysDir), FromAnsi(std::string(dir, GetSystemDirectoryA(dir, MAX_PATH))) + L"\\");
}

TEST_P(MerrowClassTest, DirExistsTellsFoldersFromFilesAndLeavesTheCurrentDirectory) {
  const std::wstring folder = Temp(L"merrow-dir"), file = Temp(L"merrow-file.txt");
  CreateDirectoryA(ToAnsi(folder).c_str(), nullptr);
  std::ofstream(ToAnsi(file)) << "x";
  char before[MAX_PATH], after[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, before);

  EXPECT_TRUE(DirExists(folder));
  EXPECT_FALSE(DirExists(file));
  EXPECT_FALSE(DirExists(folder + L"\\missing"));
  EXPECT_FALSE(DirExists(L""));
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(after, before);

  DeleteFileA(ToAnsi(file).c_str());
  RemoveDirectoryA(ToAnsi(folder).c_str());
}

// --- INI files ------------------------------------------------------------------

class IniFile {
 public:
  explicit IniFile(const std::wstring& lines) : path_(Temp(L"merrow.ini")) {
    std::ofstream(ToAnsi(path_), std::ios::binary) << ToAnsi(lines);
  }
  ~IniFile() { DeleteFileA(ToAnsi(path_).c_str()); }
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

TEST_P(MerrowClassTest, ReadIniValueGivesTheValueTrimmedOrTheDefault) {
  const IniFile ini(L"[Section]\r\nempty=\r\nblanks=   \r\nquoted=\"a b \t \"\r\ninner=a b\r\n");
  EXPECT_EQ(ReadIni(L"missing", L"default", ini.Path()), L"default");
  EXPECT_EQ(ReadIni(L"inner", L"default", Temp(L"no-such.ini")), L"default");
  EXPECT_EQ(ReadIni(L"empty", L"default", ini.Path()), L"");
  EXPECT_EQ(ReadIni(L"blanks", L"default", ini.Path()), L"");
  EXPECT_EQ(ReadIni(L"quoted", L"default", ini.Path()), L"a b");
  EXPECT_EQ(ReadIni(L"inner", L"default", ini.Path()), L"a b");
}

TEST_P(MerrowClassTest, ReadIniValueFailsForValuesThatFillTheBuffer) {
  const std::wstring v253(253, L'x'), v254(254, L'y');
  const IniFile ini(L"[Section]\r\nv253=" + v253 + L"\r\nv254=" + v254 + L"\r\n");
  EXPECT_EQ(ReadIni(L"v253", L"", ini.Path()), v253);

  std::wstring section = L"Section", key = L"v254", value = L"default", file = ini.Path();
  EXPECT_EQ(FailureNumber([&] {
              Args args;
              Call(idReadIniValue, args.Ref(section).Ref(key).Ref(value).Ref(file));
            }),
            5);
  EXPECT_EQ(value, L"default");
}

TEST_P(MerrowClassTest, ReadIniValueKeepsEveryCharacterOfTheValue) {
  const IniFile ini(L"[Section]\r\ninside=ab\u00b6cd\r\nfirst=\u00b6cd\r\n");
  EXPECT_EQ(ReadIni(L"inside", L"", ini.Path()), L"ab\u00b6cd");
  EXPECT_EQ(ReadIni(L"first", L"", ini.Path()), L"\u00b6cd");
}

TEST_P(MerrowClassTest, WriteIniValueCreatesTheFileAndIsSilentWhenItCannot) {
  const std::wstring path = Temp(L"merrow-written.ini");
  WriteIni(L"key", L"value 1", path);
  char value[64];
  GetPrivateProfileStringA("Section", "key", "", value, sizeof value, ToAnsi(path).c_str());
  EXPECT_STREQ(value, "value 1");
  EXPECT_EQ(ReadIni(L"key", L"", path), L"value 1");
  DeleteFileA(ToAnsi(path).c_str());

  EXPECT_NO_THROW(WriteIni(L"key", L"value", Temp(L"no-such-folder\\merrow.ini")));
}

TEST_P(MerrowClassTest, StringsHandedToTheSystemComeBackAsTheCodePageReadsThem) {
  std::wstring section = L"Section \u0394", key = L"key", value = L"value", file = Temp(L"merrow-ansi.ini");
  Args args;
  Call(idWriteIniValue, args.Ref(section).Ref(key).Ref(value).Ref(file));
  EXPECT_EQ(section, FromAnsi(ToAnsi(L"Section \u0394")));
  EXPECT_NE(section, L"Section \u0394") << "the test needs a character outside the code page";
  DeleteFileA(ToAnsi(file).c_str());
}

// --- Text ---------------------------------------------------------------------------

TEST_P(MerrowClassTest, CapitaliseCapitalisesEveryWord) {
  const std::array<std::pair<const wchar_t*, const wchar_t*>, 15> cases{{
      {L"hello world", L"Hello World"},
      {L"mcx", L"McX"},
      {L"  hello   world  ", L"Hello World"},
      {L"mcdonald", L"McDonald"},
      {L"mc", L"Mc"},
      {L"jean-luc mcleod", L"Jean-Luc McLeod"},
      {L"(hello)", L"(Hello)"},
      {L"st.john", L"St.John"},
      {L"a,b", L"A,B"},
      {L"HELLO", L"HELLO"},
      {L"o'neil", L"O'neil"},
      {L"1st floor", L"1st Floor"},
      {L"?de la Cruz", L"de la Cruz"},
      {L" ", L""},
      {L"", L""},
  }};
  for (const auto& [input, expected] : cases) EXPECT_EQ(Capitalise(input), expected) << "input: [" << input << "]";
}

TEST_P(MerrowClassTest, ValidateTextLetsThroughOnlyTheAllowedCharacters) {
  EXPECT_EQ(ValidateText('a', L"abc", L"Numeric"), 'a');
  EXPECT_EQ(ValidateText('B', L"abc", L"Numeric"), 'B') << "case-insensitive";
  EXPECT_EQ(ValidateText('d', L"abc", L"Numeric"), 0);
  EXPECT_EQ(ValidateText(kBackspace, L"0123456789", L"AnyText"), kBackspace);
  EXPECT_EQ(ValidateText(kBackspace, L"0123456789", L"anytext"), 0);
  EXPECT_EQ(ValidateText(kBackspace, L"0123456789", L"Numeric"), 0);
  EXPECT_EQ(ValidateText('5', L"", L"Numeric"), 0);
  EXPECT_EQ(FailureNumber([&] { ValidateText(-1, L"abc", L"AnyText"); }), 5);
}

// --- Registry -------------------------------------------------------------------------

class RegistryTest : public MerrowClassTest {
 protected:
  void SetUp() override { ASSERT_EQ(CreateNewKey(FromAnsi(kTestKey)), ERROR_SUCCESS); }
  DWORD Stored(const char* name, DWORD type, void* data, DWORD size) {
    return RegGetValueA(HKEY_LOCAL_MACHINE, kTestKey.c_str(), name, type == REG_SZ ? RRF_RT_REG_SZ : RRF_RT_REG_DWORD,
                        nullptr, data, &size);
  }
  void Store(const char* name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kTestKey.c_str(), name, type, data, size);
  }
  bool HasValue(const char* name) {
    return RegGetValueA(HKEY_LOCAL_MACHINE, kTestKey.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }

  RegistrySandbox sandbox_{HKEY_LOCAL_MACHINE, kTestKey};
};

INSTANTIATE_TEST_SUITE_P(Bindings, RegistryTest, testing::Values(Binding::Early, Binding::Late),
                         [](const auto& info) { return info.param == Binding::Early ? "Vtable" : "Dispatch"; });

TEST_P(RegistryTest, CreateNewKeyOnAnExistingKeyChangesNothing) {
  Store("kept", REG_SZ, "yes", 4);
  EXPECT_EQ(CreateNewKey(FromAnsi(kTestKey)), ERROR_SUCCESS);
  EXPECT_TRUE(HasValue("kept"));
  EXPECT_EQ(CreateNewKey(FromAnsi(kTestKey) + L"\\Sub"), ERROR_SUCCESS);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kTestKey + "\\Sub"));
}

TEST_P(RegistryTest, QueryValueGivesNumbersAndStringsAsText) {
  const DWORD one = 1, minusOne = 0xFFFFFFFF;
  const BYTE binary[] = {1, 2, 3};
  Store("one", REG_DWORD, &one, 4);
  Store("minus", REG_DWORD, &minusOne, 4);
  Store("text", REG_SZ, "abc \t ", 7);
  Store("binary", REG_BINARY, binary, 3);
  Store("empty", REG_SZ, "", 1);
  EXPECT_EQ(QueryValue(L"empty"), L"");
  EXPECT_EQ(QueryValue(L"one"), L"1");
  EXPECT_EQ(QueryValue(L"minus"), L"-1");
  EXPECT_EQ(QueryValue(L"text"), L"abc");
  EXPECT_EQ(QueryValue(L"binary"), L"");
  EXPECT_EQ(QueryValue(L"missing"), L"");
  EXPECT_EQ(QueryValue(L"one", FromAnsi(kTestKey) + L"\\Missing"), L"");
}

TEST_P(RegistryTest, WriteValueConvertsToTheTypeAndWritesOnlyStringsAndNumbers) {
  WriteValue(L"number", REG_DWORD, Text(L"12"));
  WriteValue(L"text", REG_SZ, Long(5));
  WriteValue(L"multi", REG_MULTI_SZ, Text(L"x"));
  DWORD number = 0;
  char text[8] = "";
  EXPECT_EQ(Stored("number", REG_DWORD, &number, 4), 0u);
  EXPECT_EQ(number, 12u);
  EXPECT_EQ(Stored("text", REG_SZ, text, sizeof text), 0u);
  EXPECT_STREQ(text, "5");
  EXPECT_FALSE(HasValue("multi"));

  EXPECT_EQ(FailureNumber([&] { WriteValue(L"bad", REG_DWORD, Text(L"abc")); }), 13);
  VARIANT null{};
  null.vt = VT_NULL;
  EXPECT_EQ(FailureNumber([&] { WriteValue(L"bad", REG_SZ, null); }), 94);
  EXPECT_FALSE(HasValue("bad"));
}

TEST_P(RegistryTest, DeleteValueRemovesTheValueAndIgnoresAMissingOne) {
  Store("gone", REG_SZ, "x", 2);
  WriteValue(L"gone", 0, Text(L"any"), idDeleteValue);
  EXPECT_FALSE(HasValue("gone"));
  EXPECT_NO_THROW(WriteValue(L"gone", 0, Text(L"any"), idDeleteValue));

  // The value only has to become text; one that cannot leaves the value be.
  Store("kept", REG_SZ, "x", 2);
  VARIANT null{};
  null.vt = VT_NULL;
  EXPECT_EQ(FailureNumber([&] { WriteValue(L"kept", 0, null, idDeleteValue); }), 94);
  EXPECT_TRUE(HasValue("kept"));
}

// A volatile key is gone when the registry is loaded again; it refuses a
// stable subkey, which tells one without restarting anything.
bool IsVolatile(const std::string& path) {
  const std::string probe = path + "\\probe";
  HKEY key = nullptr;
  const LONG code = RegCreateKeyExA(HKEY_LOCAL_MACHINE, probe.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (code == ERROR_SUCCESS) {
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, probe.c_str());
  }
  return code == ERROR_CHILD_MUST_BE_VOLATILE;
}

TEST_P(RegistryTest, CreatedKeysSurviveARestart) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kTestKey + "\\Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(IsVolatile(kTestKey + "\\Volatile")) << "the probe tells a volatile key";

  EXPECT_EQ(CreateNewKey(FromAnsi(kTestKey) + L"\\Created"), ERROR_SUCCESS);
  EXPECT_FALSE(IsVolatile(kTestKey));
  EXPECT_FALSE(IsVolatile(kTestKey + "\\Created"));
}

TEST_P(RegistryTest, WrittenTextsCountTheirEndingNul) {
  const std::array<std::pair<const wchar_t*, DWORD>, 2> cases{{{L"abc", 4}, {L"", 1}}};
  for (const auto& [text, characters] : cases) {
    WriteValue(L"text", REG_SZ, Text(text));
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, sandbox_.WPath().c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
    const basic::UniqueKey key(opened);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key.get(), L"text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, characters * sizeof(wchar_t)) << "[" << text << "]";
  }
}

// --- Colours --------------------------------------------------------------------------

TEST_P(MerrowClassTest, SetColorsMakesMenuAndButtonFaceLightGrey) {
  std::array<INT, 19> indexes;
  std::array<COLORREF, 19> before;
  for (int i = 0; i < 19; ++i) before[i] = GetSysColor(indexes[i] = i);
  Args args;
  Call(idSetColors, args);
  for (int i = 0; i < 19; ++i)
    EXPECT_EQ(GetSysColor(i), i == COLOR_MENU || i == COLOR_BTNFACE ? 0xC0C0C0 : before[i]) << "index " << i;
  SetSysColors(19, indexes.data(), before.data());
}

// --- Binding contract -------------------------------------------------------------

struct Operation {
  const wchar_t* name;
  DISPID id;
  SHORT params;  // with the result
};
constexpr std::array<Operation, 12> kOperations{{
    {L"GetWindowsDir", idGetWindowsDir, 2},
    {L"GetWindowsSysDir", idGetWindowsSysDir, 2},
    {L"Capitalise", idCapitalise, 2},
    {L"read_ini_value", idReadIniValue, 5},
    {L"write_ini_value", idWriteIniValue, 5},
    {L"CreateNewKey", idCreateNewKey, 4},
    {L"QueryValue", idQueryValue, 4},
    {L"WriteValue", idWriteValue, 5},
    {L"delete_value", idDeleteValue, 5},
    {L"DirExists", idDirExists, 2},
    {L"ValidateText", idValidateText, 4},
    {L"Set_Colors", idSetColors, 1},
}};

TEST(MerrowContract, NamesGiveTheDispatchIdentifiers) {
  ComApartment apartment;
  const MerrowClient client(Binding::Late);
  for (const auto& op : kOperations) {
    LPOLESTR name = const_cast<LPOLESTR>(op.name);
    DISPID id = 0;
    EXPECT_EQ(client.Object()->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK) << op.name;
    EXPECT_EQ(id, op.id) << op.name;
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"Capitalize");
  DISPID id = 0;
  EXPECT_EQ(client.Object()->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
}

TEST(MerrowContract, RegisteredLibraryGivesSlotsIdentifiersAndAttributes) {
  ComApartment apartment;
  basic::ComPtr<ITypeLib> library;
  basic::ComPtr<ITypeInfo> dispatch, vtable;
  HREFTYPE ref = 0;
  ASSERT_EQ(LoadRegTypeLib(LIBID_Merrow32, 24, 0, LOCALE_NEUTRAL, library.put()), S_OK);
  ASSERT_EQ(library->GetTypeInfoOfGuid(IID__MerrowClass, dispatch.put()), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &ref), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeInfo(ref, vtable.put()), S_OK);

  TYPEATTR* attr = nullptr;
  ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  const WORD flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
  EXPECT_EQ(attr->wTypeFlags & flags, flags);
  ASSERT_EQ(attr->cFuncs, kOperations.size());
  vtable->ReleaseTypeAttr(attr);

  for (UINT i = 0; i < kOperations.size(); ++i) {
    FUNCDESC* func = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(i, &func), S_OK);
    BSTR name = nullptr;
    UINT count = 0;
    vtable->GetNames(func->memid, &name, 1, &count);
    EXPECT_STREQ(name, kOperations[i].name);
    EXPECT_EQ(func->memid, kOperations[i].id) << kOperations[i].name;
    EXPECT_EQ(func->oVft, SHORT((7 + i) * sizeof(void*))) << kOperations[i].name << " follows the IDispatch slots";
    EXPECT_EQ(func->cParams, kOperations[i].params) << kOperations[i].name;
    SysFreeString(name);
    vtable->ReleaseFuncDesc(func);
  }
}

TEST(MerrowContract, VtableCallersGetTheErrorInformation) {
  ComApartment apartment;
  const MerrowClient client(Binding::Late);
  BSTR text = SysAllocString(L"mcdonald"), result = nullptr;
  EXPECT_EQ(client.Object()->Capitalise(&text, &result), S_OK);
  EXPECT_STREQ(result, L"McDonald");
  SysFreeString(result);
  SysFreeString(text);

  short code = -1;
  BSTR set = SysAllocString(L"abc"), type = SysAllocString(L"AnyText");
  EXPECT_EQ(client.Object()->ValidateText(-1, &set, &type, &code), HRESULT(0x800A0005));
  basic::ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  EXPECT_STREQ(description, L"Invalid procedure call or argument");
  SysFreeString(description);
  SysFreeString(set);
  SysFreeString(type);

  basic::ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(client.Object()->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.put())), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__MerrowClass), S_OK);
}

}  // namespace
