#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <vector>

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
  std::wstring Ini(DISPID id, std::wstring section, std::wstring key, std::wstring value, std::wstring file) {
    Args args;
    Call(id, args.Ref(section).Ref(key).Ref(value).Ref(file));
    return value;
  }
  std::wstring ReadIni(std::wstring key, std::wstring value, std::wstring file) {
    return Ini(idReadIniValue, L"Section", key, value, file);
  }
  void WriteIni(std::wstring key, std::wstring value, std::wstring file) {
    Ini(idWriteIniValue, L"Section", key, value, file);
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
  void WriteValue(std::wstring name, LONG type, VARIANT value, DISPID id = idWriteValue,
                  std::wstring key = FromAnsi(kTestKey)) {
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

// The value trimmed of blanks and one pair of quotes, every character kept,
// or the default where there is none.
TEST_P(MerrowClassTest, ReadIniValueGivesTheValueTrimmedOrTheDefault) {
  const std::wstring v253(253, L'x');
  const IniFile ini(L"[Section]\r\nempty=\r\nblanks=   \r\nquoted=\"a b \t \"\r\ninner=a b\r\n"
                    L"inside=ab\u00b6cd\r\nfirst=\u00b6cd\r\nv253=" + v253 + L"\r\n");
  const std::pair<const wchar_t*, std::wstring> rows[] = {
      {L"missing", L"default"}, {L"empty", L""},           {L"blanks", L""},        {L"quoted", L"a b"},
      {L"inner", L"a b"},       {L"inside", L"ab\u00b6cd"}, {L"first", L"\u00b6cd"}, {L"v253", v253},
  };
  for (const auto& [key, value] : rows) EXPECT_EQ(ReadIni(key, L"default", ini.Path()), value) << ToAnsi(key);
  EXPECT_EQ(ReadIni(L"inner", L"default", Temp(L"no-such.ini")), L"default");
}

TEST_P(MerrowClassTest, ReadIniValueFailsForValuesThatFillTheBuffer) {
  const IniFile ini(L"[Section]\r\nv254=" + std::wstring(254, L'y') + L"\r\n");
  std::wstring section = L"Section", key = L"v254", value = L"default", file = ini.Path();
  EXPECT_EQ(FailureNumber([&] {
              Args args;
              Call(idReadIniValue, args.Ref(section).Ref(key).Ref(value).Ref(file));
            }),
            5);
  EXPECT_EQ(value, L"default");
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

// `times` copies of `text`.
std::wstring Repeated(std::wstring_view text, size_t times) {
  std::wstring out;
  out.reserve(text.size() * times);
  while (times--) out += text;
  return out;
}

TEST_P(MerrowClassTest, CapitaliseCapitalisesEveryWord) {
  const std::wstring word(32, L'a');
  const std::vector<std::pair<std::wstring, std::wstring>> cases{{
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
      // A million characters: 30,303 words come back capitalised, and 500,000
      // full stops make more words than are counted, so the text comes back as it was.
      {Repeated(word + L".", 30303), Repeated(L"A" + word.substr(1) + L".", 30303)},
      {Repeated(L"a.", 500000), Repeated(L"a.", 500000)},
  }};
  for (const auto& [input, expected] : cases) {
    const std::wstring got = Capitalise(input);
    EXPECT_TRUE(got == expected) << "[" << input.substr(0, 40) << "] gives [" << got.substr(0, 40) << "]";
  }
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

// --- Texts beyond the system's limits ----------------------------------------------

// `name` and 65,536 characters more: a length kept in 16 bits cuts it back to `name`.
std::wstring Beyond(const std::wstring& name) { return name + std::wstring(65536, L'x'); }
// `name`, a NUL and more: a call that reads up to the NUL names `name`.
std::wstring WithNul(const std::wstring& name) { return name + std::wstring(1, L'\0') + L"x"; }

// A path of exactly `length` characters to `name` in the temporary folder,
// lengthened with ".\" steps and, for an odd one, one `pad` before the name.
std::wstring TempPath(size_t length, const std::wstring& name = L"", wchar_t pad = L'.') {
  std::wstring path = Temp(L"");
  while (path.size() + 2 + name.size() <= length) path += L".\\";
  return path + std::wstring(length - path.size() - name.size(), pad) + name;
}

// The key and everything below it, names, types and data, as one text.
std::wstring Dump(HKEY root, const std::wstring& path) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
  const basic::UniqueKey key(opened);
  std::wstring dump = L"[" + path + L"]\n", name(16384, L'\0'), data(4096, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384, type = 0, bytes = 8192;
    if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes))
      break;
    dump += name.substr(0, length) + L"=" + std::to_wstring(type) + L":" + data.substr(0, bytes / 2) + L"\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384;
    if (RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr)) break;
    dump += Dump(root, path + L"\\" + name.substr(0, length));
  }
  return dump;
}

std::string Contents(const std::wstring& path) {
  std::ifstream file(ToAnsi(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Each text longer than its call takes is refused before the call, with
// nothing read, written or deleted: before, the system took its first
// characters and acted on the decoys named "alias". A text at the limit
// reaches the system whole.
TEST_P(RegistryTest, TextsBeyondTheSystemsLimitsAreRefusedAndTouchNothing) {
  const std::wstring key = FromAnsi(kTestKey), alias = key + L"\\alias", shortNames = Repeated(L"\\n", 32768);
  Store("alias", REG_SZ, "kept", 5);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, (kTestKey + "\\alias").c_str(), "v", REG_SZ, "kept", 5);
  const IniFile ini(L"[Section]\r\nalias=kept\r\n[alias]\r\nkey=kept\r\n");
  const std::wstring& file = ini.Path();
  const std::wstring ini259 = TempPath(259, L"m.ini", L'm'), ini260 = TempPath(260, L"m.ini", L'm');
  DeleteFileW(ini260.c_str());

  const auto putIni = [&](std::wstring section, std::wstring name, std::wstring value, std::wstring path) {
    Ini(idWriteIniValue, section, name, value, path);
    return std::wstring();
  };
  const auto getIni = [&](std::wstring section, std::wstring name, std::wstring path) {
    return Ini(idReadIniValue, section, name, L"default", path);
  };
  const auto create = [&](std::wstring path) { return std::to_wstring(CreateNewKey(path)); };
  // Wine's ANSI registry calls take paths of 260 bytes at most: names at
  // the limit are made below a key of a short name right below the root.
  const RegistrySandbox shortKey(HKEY_LOCAL_MACHINE, "ML");
  const std::wstring k255 = L"ML\\" + std::wstring(255, L'k'), k256 = L"ML\\" + std::wstring(256, L'k');
  const auto createAndCheck = [&](const std::wstring& name) {
    const std::wstring code = create(name);
    return code + (KeyExists(HKEY_LOCAL_MACHINE, ToAnsi(name)) ? L" made" : L"");
  };
  const auto put = [&](std::wstring name, std::wstring path, DISPID id = idWriteValue) {
    WriteValue(name, REG_SZ, Text(L"new"), id, path);
    return std::wstring();
  };
  const auto enters = [&](std::wstring path) { return std::wstring(DirExists(path) ? L"True" : L"False"); };
  struct Row {
    const char* what;
    std::function<std::wstring()> call;
    std::wstring expected = L"";  // what the caller gets back, or the error's number
    bool changes = false;         // a text at the limit is written
  };
  const std::vector<Row> rows{
      {"write_ini_value, a key name cut to alias", [&] { return putIni(L"Section", Beyond(L"alias"), L"cut", file); }},
      {"write_ini_value, a section cut to alias", [&] { return putIni(Beyond(L"alias"), L"key", L"cut", file); }},
      {"write_ini_value, a key name with a NUL after alias",
       [&] { return putIni(L"Section", WithNul(L"alias"), L"cut", file); }},
      {"write_ini_value, a value of 70,000 characters",
       [&] { return putIni(L"Section", L"alias", std::wstring(70000, L'v'), file); }},
      {"write_ini_value, a key name of 32,767 characters",
       [&] { return putIni(L"Section", std::wstring(32767, L'k'), L"v", file); }},
      {"write_ini_value, a file name cut to the INI file",
       [&] { return putIni(L"Section", L"alias", L"cut", Beyond(file)); }},
      {"write_ini_value, a file name of 260 characters",
       [&] {
         return putIni(L"Section", L"key", L"v", ini260) +
                (GetFileAttributesW(ini260.c_str()) == INVALID_FILE_ATTRIBUTES ? L"" : L"made");
       }},
      {"read_ini_value, a key name cut to alias", [&] { return getIni(L"Section", Beyond(L"alias"), file); },
       L"default"},
      {"read_ini_value, a section cut to alias", [&] { return getIni(Beyond(L"alias"), L"key", file); }, L"default"},
      {"read_ini_value, a file name cut to the INI file", [&] { return getIni(L"Section", L"alias", Beyond(file)); },
       L"default"},
      {"read_ini_value, a default cut short",
       [&] { return Ini(idReadIniValue, L"Section", L"alias", Beyond(L"d"), file); }, L"error 5"},
      {"CreateNewKey, a key name cut to a new key", [&] { return create(Beyond(key + L"\\new")); }, L"87"},
      {"CreateNewKey, a path of short names cut to a new key", [&] { return create(key + L"\\new" + shortNames); },
       L"87"},
      {"CreateNewKey, a key name of 256 characters", [&] { return createAndCheck(k256); }, L"87"},
      {"QueryValue, a value name cut to alias", [&] { return QueryValue(Beyond(L"alias")); }, L""},
      {"QueryValue, a key name cut to alias", [&] { return QueryValue(L"v", Beyond(alias)); }, L""},
      {"QueryValue, a path of short names cut to alias", [&] { return QueryValue(L"v", alias + shortNames); }, L""},
      {"WriteValue, a value name cut to alias", [&] { return put(Beyond(L"alias"), key); }},
      {"WriteValue, a key name cut to alias", [&] { return put(L"v", Beyond(alias)); }},
      {"WriteValue, a value name with a NUL after alias", [&] { return put(WithNul(L"alias"), key); }},
      {"delete_value, a value name cut to alias", [&] { return put(Beyond(L"alias"), key, idDeleteValue); }},
      {"delete_value, a key name cut to alias", [&] { return put(L"v", Beyond(alias), idDeleteValue); }},
      {"DirExists, a path cut to a folder", [&] { return enters(Beyond(Temp(L""))); }, L"False"},
      {"DirExists, a path with a NUL after a folder", [&] { return enters(WithNul(Temp(L""))); }, L"False"},
      {"DirExists, a path of 260 characters", [&] { return enters(TempPath(260)); }, L"False"},
      {"DirExists, a path of 259 characters", [&] { return enters(TempPath(259)); }, L"True"},
      {"INI, a file name of 259 characters",
       [&] {
         putIni(L"Section", L"key", L"whole", ini259);
         const std::wstring value = getIni(L"Section", L"key", ini259);
         DeleteFileW(ini259.c_str());
         return value;
       },
       L"whole"},
      {"INI, a key name of 32,766 characters",
       [&] {
         putIni(L"Section", std::wstring(32766, L'k'), L"whole", file);
         return getIni(L"Section", std::wstring(32766, L'k'), file);
       },
       L"whole", true},
      {"CreateNewKey, a key name of 255 characters", [&] { return createAndCheck(k255); }, L"0 made", true},
      {"registry, a value name of 16,383 characters",
       [&] {
         put(std::wstring(16383, L'v'), key);
         return QueryValue(std::wstring(16383, L'v'));
       },
       L"new", true},
  };
  for (const auto& row : rows) {
    const std::wstring registryBefore = Dump(HKEY_LOCAL_MACHINE, sandbox_.WPath());
    const std::string fileBefore = Contents(file);
    std::wstring got;
    try {
      got = row.call();
    } catch (const CallFailed& failed) {
      got = L"error " + std::to_wstring(failed.Number());
    }
    EXPECT_EQ(got, row.expected) << row.what;
    if (row.changes) continue;
    EXPECT_TRUE(Dump(HKEY_LOCAL_MACHINE, sandbox_.WPath()) == registryBefore) << row.what << ": the registry changed";
    EXPECT_TRUE(Contents(file) == fileBefore) << row.what << ": the INI file changed";
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
